#include "verify/album_pass.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "verify/fake_track_source.h"
#include "verify/synthetic_album.h"

namespace {
using synthetic::Album;

std::wstring path_of(std::size_t track) { return L"C:\\rip\\" + std::to_wstring(track + 1) + L".flac"; }

// Registers the rip of every track, shifted by `offset`, as a file.
std::vector<TDTrackCheck> rip(const Album& album, std::int32_t offset, FakeHost& host) {
  std::vector<TDTrackCheck> tracks(album.lengths.size());
  for (std::size_t t = 0; t < tracks.size(); ++t) {
    tracks[t].length = album.lengths[t];
    tracks[t].track_number = static_cast<std::int32_t>(t + 1);
    tracks[t].path = path_of(t);
    host.slot.files[tracks[t].path].words = album.rip_track(t, offset);
  }
  return tracks;
}

enum class Sum { kV1, kV2 };
TDTrackEntry pressing_entry(const Album& album, std::size_t track, std::uint8_t confidence, Sum sum,
                            bool with_offset_checksum = true) {
  const Album::Sums s = album.pressing_sums(track);
  return {confidence, sum == Sum::kV2 ? s.v2 : s.v1, with_offset_checksum ? album.pressing_sector450(track) : 0u, 0};
}

std::wstring verified(int track, int confidence, int offset, const wchar_t* kind, std::uint32_t checksum) {
  wchar_t text[160];
  std::swprintf(text, 160, L"Track %d: Tallydisc Verified Confidence %d, Pressing Offset %+d [%ls CRC %08X]", track,
                confidence, offset, kind, checksum);
  return text;
}

AlbumPassResult run(FakeHost& host, const std::vector<TDTrackCheck>& tracks, bool require_two = false) {
  AlbumPass pass(host, require_two);
  return pass.run(tracks);
}
}  // namespace

TEST(AlbumPass, FindsThePressingOffsetOfEveryTrackUpToTheLargest) {
  const Album album{{460, 470, 465}};
  for (std::int32_t offset : {0, 5, -7, 588, 2351, -2351}) {
    FakeHost host;
    auto tracks = rip(album, offset, host);
    for (std::size_t t = 0; t < 3; ++t) tracks[t].entries = {pressing_entry(album, t, 4, Sum::kV2)};
    const AlbumPassResult r = run(host, tracks);
    ASSERT_EQ(r.lines.size(), 3u);
    for (int t = 0; t < 3; ++t) {
      // The middle track reaches into the previous track's tail (negative
      // offsets) or the next track's head (positive ones).
      EXPECT_EQ(r.statuses[t], track_status::kAccurate) << offset;
      EXPECT_EQ(r.lines[t], verified(t + 1, 4, offset, L"TDv2", tracks[t].entries[0].checksum));
    }
    EXPECT_EQ(r.average_confidence, 4.0);
    EXPECT_EQ(host.prereads, (std::vector{path_of(0), path_of(1), path_of(2)}));
    // Per track one decode, which also serves the offset search; a short
    // read of every track's head but the first.
    EXPECT_EQ(host.slot.full_decodes, 3);
    EXPECT_EQ(host.slot.short_reads, 2);
  }
}

TEST(AlbumPass, OffsetSearchOnlyAbove455SectorsAndLengthRuleAt451) {
  struct Case {
    std::int32_t length;
    std::int32_t offset;
    std::uint32_t status;
    const wchar_t* text;  // null: verified
  } cases[] = {
      {455, 5, track_status::kInaccurate, L"Track InAccurate"},  // only candidate 0
      {455, 0, track_status::kAccurate, nullptr},
      {456, 5, track_status::kAccurate, nullptr},
      {456, -2351, track_status::kAccurate, nullptr},
      {451, 0, track_status::kError, L"Track too short for Tallydisc Verification"},
      {452, 0, track_status::kAccurate, nullptr},
  };
  for (const auto& c : cases) {
    // A one-track album: its sums leave out both edges.
    const Album album{{c.length}};
    FakeHost host;
    auto tracks = rip(album, c.offset, host);
    tracks[0].entries = {pressing_entry(album, 0, 2, Sum::kV1)};
    const AlbumPassResult r = run(host, tracks);
    ASSERT_EQ(r.statuses.size(), 1u);
    EXPECT_EQ(r.statuses[0], c.status) << c.length << " " << c.offset;
    if (c.text)
      EXPECT_EQ(r.lines[0], std::wstring(L"Track 1: ") + c.text) << c.length;
    else
      EXPECT_EQ(r.lines[0], verified(1, 2, c.offset, L"TDv1", tracks[0].entries[0].checksum)) << c.length;
    EXPECT_EQ(r.cannot_check_count, c.status == track_status::kError ? 1 : 0);
  }
}

TEST(AlbumPass, ConfidenceRulesOfMatching) {
  const Album album{{460}};
  const auto v1 = [&](std::uint8_t c) { return pressing_entry(album, 0, c, Sum::kV1); };
  const auto v2 = [&](std::uint8_t c) { return pressing_entry(album, 0, c, Sum::kV2); };
  const auto other = TDTrackEntry{9, 0x12345678, 0, 0};
  const std::uint32_t sum1 = album.pressing_sums(0).v1, sum2 = album.pressing_sums(0).v2;
  struct Case {
    const char* what;
    std::vector<TDTrackEntry> entries;
    bool require_two;
    std::uint32_t status;
    std::wstring line;
    double average;
  } cases[] = {
      {"confidence 1 counts", {v2(1), v1(1)}, false, 0, verified(1, 1, 0, L"TDv2", sum2), 1.0},
      {"confidence 1 passed over", {v2(1), v1(1), other}, true, 1, L"Track 1: Track InAccurate", 0.0},
      {"confidence 2 with require-two", {v1(2)}, true, 0, verified(1, 2, 0, L"TDv1", sum1), 2.0},
      // TDv2 text wins while the best confidence comes from TDv1.
      {"TDv2 text over TDv1", {v2(3), v1(5)}, false, 0, verified(1, 3, 0, L"TDv2", sum2), 5.0},
      {"TDv1 first, TDv2 later", {v1(5), v2(3)}, false, 0, verified(1, 3, 0, L"TDv2", sum2), 5.0},
      {"higher TDv1 keeps first TDv1 text", {v1(2), v1(7)}, false, 0, verified(1, 2, 0, L"TDv1", sum1), 7.0},
      {"confidence 0 matches silently", {v2(0)}, false, 0, L"Track 1: ", 0.0},
  };
  for (const auto& c : cases) {
    FakeHost host;
    auto tracks = rip(album, 0, host);
    tracks[0].entries = c.entries;
    const AlbumPassResult r = run(host, tracks, c.require_two);
    ASSERT_EQ(r.statuses.size(), 1u) << c.what;
    EXPECT_EQ(r.statuses[0], c.status) << c.what;
    EXPECT_EQ(r.lines[0], c.line) << c.what;
    EXPECT_EQ(r.average_confidence, c.average) << c.what;
  }
}

TEST(AlbumPass, OffsetFoundOnTrack3IsTriedOnLaterTracks) {
  const Album album{{460, 460, 460, 460, 460}};
  const std::int32_t offset = 30;
  FakeHost host;
  auto tracks = rip(album, offset, host);
  for (std::size_t t = 0; t < 5; ++t)
    tracks[t].entries = {pressing_entry(album, t, 3, Sum::kV2, /*with_offset_checksum=*/t == 2)};
  const AlbumPassResult r = run(host, tracks);
  EXPECT_EQ(r.statuses, (std::vector<std::uint32_t>{1, 1, 0, 0, 0}));
  EXPECT_EQ(r.lines[4], verified(5, 3, offset, L"TDv2", tracks[4].entries[0].checksum));
}

TEST(AlbumPass, NotCdQualityFormats) {
  const AudioFormat formats[] = {{2, 48000, 16}, {1, 44100, 16}, {2, 44100, 24}};
  for (const AudioFormat& f : formats) {
    const Album album{{460}};
    FakeHost host;
    auto tracks = rip(album, 0, host);
    tracks[0].entries = {pressing_entry(album, 0, 3, Sum::kV2)};
    host.slot.files[tracks[0].path].format = f;
    const AlbumPassResult r = run(host, tracks);
    EXPECT_EQ(r.statuses, std::vector<std::uint32_t>{track_status::kInaccurate});
    EXPECT_EQ(r.lines[0], L"Track 1: Cannot Check: Not CD Quality");
    EXPECT_EQ(r.cannot_check_count, 1);
  }
}

TEST(AlbumPass, AFailingTrackDoesNotStopTheAlbum) {
  const Album album{{460, 460, 460, 460}};
  FakeHost host;
  auto tracks = rip(album, 0, host);
  for (std::size_t t = 0; t < 4; ++t) tracks[t].entries = {pressing_entry(album, t, 2, Sum::kV2)};
  host.slot.files.erase(tracks[0].path);
  host.slot.files[tracks[1].path].open_result = OpenResult::kOpenFailed;
  host.slot.files[tracks[2].path].fail_at_block = 3;
  const AlbumPassResult r = run(host, tracks);
  EXPECT_EQ(r.statuses, (std::vector<std::uint32_t>{3, 3, 3, 0}));
  EXPECT_EQ(r.lines[0], L"Track 1: Unable to Find Decoder");
  EXPECT_EQ(r.lines[1], L"Track 2: Unable to Open File");
  EXPECT_EQ(r.lines[2], L"Track 3: File Corrupted");
  EXPECT_EQ(r.cannot_check_count, 3);
  EXPECT_FALSE(host.slot.open_now);
}

TEST(AlbumPass, AbortEndsThePassEarly) {
  const Album album{{460, 460, 460}};
  FakeHost host;
  auto tracks = rip(album, 0, host);
  for (std::size_t t = 0; t < 3; ++t) tracks[t].entries = {pressing_entry(album, t, 2, Sum::kV2)};
  host.slot.on_full_block = [&](int block) {
    if (host.slot.full_decodes == 2 && block == 10) host.abort = true;
  };
  const AlbumPassResult r = run(host, tracks);
  // Track 2 goes straight to matching with what it summed; track 3 is never
  // touched.
  EXPECT_EQ(r.statuses, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(host.slot.full_decodes, 2);
  EXPECT_FALSE(host.slot.open_now);

  FakeHost aborted;
  aborted.abort = true;
  EXPECT_TRUE(run(aborted, rip(album, 0, aborted)).lines.empty());
  EXPECT_TRUE(aborted.prereads.empty());
}
