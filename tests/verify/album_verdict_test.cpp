#include "verify/album_verdict.h"

#include <gtest/gtest.h>

#include "album_fixtures.h"
#include "verify/album_conclusion.h"
#include "verify/harvest.h"
#include "verify/quick_paths.h"
#include "verify/verdict_texts.h"

namespace {
using Statuses = std::vector<std::uint32_t>;
using Lines = std::vector<std::wstring>;

constexpr std::uint32_t kOk = track_status::kAccurate;
constexpr std::uint32_t kBad = track_status::kInaccurate;
constexpr std::uint32_t kThin = track_status::kNotEnoughInformation;
constexpr std::uint32_t kErr = track_status::kError;
constexpr std::uint32_t kNoFile = track_status::kNoFile;

const std::wstring kNotPresentLine = verdict_text::kTrackNotPresentOrPressing;

std::wstring line(int n, const std::wstring& text) { return L"Track " + std::to_wstring(n) + L": " + text; }
std::wstring verified(int confidence) { return L"Tallydisc Verified Confidence " + std::to_wstring(confidence) + L", Pressing Offset +0 [TDv2 CRC 00000001]"; }

// What an album pass handed over, run through the verdict and the harvest.
struct Outcome {
  TDAlbumCheck check;
  AlbumRecord album;
  TDAlbumLists lists;
  TDResultCacheTable cache;
  std::wstring summary;
};

void run(Outcome& o, const Statuses& statuses, const Lines& lines, double average, int cannot_check,
         bool stop = false) {
  fill_tracks(o.check, static_cast<int>(statuses.size()));
  o.album = make_album(static_cast<int>(statuses.size()));
  o.check.statuses = statuses;
  o.check.lines = lines;
  o.check.finished = false;
  album_verdict(o.check, average, stop, cannot_check, o.cache);
  harvest(o.check, 0, o.album, o.lists);
  o.summary = album_summary_line(o.lists, 0, o.album);
}
}  // namespace

TEST(AlbumVerdict, AverageConfidenceAtTwoIsNotEnough) {
  Outcome o;
  run(o, {kOk, kOk, kBad, kBad}, {line(1, verified(1)), line(2, verified(3)), line(3, L"Track InAccurate"), line(4, L"Track InAccurate")}, 2.0, 0);
  EXPECT_EQ(o.check.statuses, (Statuses{kOk, kOk, kThin, kThin}));
  EXPECT_EQ(o.check.lines[2], line(3, verdict_text::kNotEnoughInformation));
  EXPECT_EQ(o.check.lines[3], line(4, verdict_text::kNotEnoughInformation));
  EXPECT_EQ(o.cache.size(), 0u) << "not stored";
  EXPECT_FALSE(o.cache.changed());
  EXPECT_TRUE(o.check.finished);
  EXPECT_TRUE(o.check.has_results);
  EXPECT_EQ(o.album.not_enough_info_count, 2);
  EXPECT_EQ(o.album.not_enough_info_tracks, (std::vector<std::int32_t>{3, 4}));
  EXPECT_EQ(o.summary, L"album: errors");
}

TEST(AlbumVerdict, AverageConfidenceAboveTwoStoresEveryTrack) {
  Outcome o;
  run(o, {kOk, kOk, kBad, kBad}, {line(1, verified(2)), line(2, verified(3)), line(3, L"Track InAccurate"), line(4, L"Track InAccurate")}, 2.5, 0);
  EXPECT_EQ(o.check.statuses, (Statuses{kOk, kOk, kBad, kBad}));
  EXPECT_EQ(o.check.lines[3], line(4, L"Track InAccurate"));
  ASSERT_EQ(o.cache.size(), 4u);
  EXPECT_TRUE(o.cache.changed());
  EXPECT_EQ(o.cache.find(track_file_id(3)), (TDResultCacheEntry{track_stamp(3), 1, line(3, L"Track InAccurate")}));
  EXPECT_EQ(o.cache.find(track_file_id(1)), (TDResultCacheEntry{track_stamp(1), 0, line(1, verified(2))}));
  EXPECT_EQ(o.album.inaccurate_tracks, (std::vector<std::int32_t>{3, 4}));
  EXPECT_EQ(o.summary, L"album: errors");
}

TEST(AlbumVerdict, LowAverageWithEveryTrackAccurateIsStored) {
  Outcome o;
  run(o, {kOk, kOk}, {line(1, verified(1)), line(2, verified(1))}, 1.0, 0);
  EXPECT_EQ(o.cache.size(), 2u);
  EXPECT_EQ(o.summary, L"album: accurate");
}

TEST(AlbumVerdict, CorruptedTrackInsideAnAccurateAlbum) {
  Outcome o;
  run(o, {kOk, kOk, kErr, kOk, kOk},
      {line(1, verified(5)), line(2, verified(5)), line(3, L"File Corrupted"), line(4, verified(5)), line(5, verified(5))},
      5.0, 1);
  EXPECT_EQ(o.check.statuses, (Statuses{kOk, kOk, kOk, kOk, kOk}));
  EXPECT_EQ(o.check.lines[2], line(3, L"File Corrupted"));
  EXPECT_EQ(o.cache.size(), 5u);
  EXPECT_EQ(o.album.accurate_count, 5);
  EXPECT_EQ(o.summary, L"album: accurate");
}

TEST(AlbumVerdict, NothingMatched) {
  struct Case {
    const char* name;
    Statuses statuses;
    Lines lines;
    int cannot_check;
    Statuses after;
    Lines lines_after;
    const wchar_t* summary;
  };
  const Lines not_cd{line(1, L"Cannot Check: Not CD Quality"), line(2, L"Cannot Check: Not CD Quality")};
  const Lines corrupted{line(1, L"File Corrupted"), line(2, L"File Corrupted")};
  const Lines mixed{line(1, L"File Corrupted"), line(2, L"Unable to Open File")};
  const Case cases[] = {
      {"every track not CD quality", {kBad, kBad}, not_cd, 2, {kBad, kBad}, not_cd,
       L"album: not-present: Cannot Check"},
      {"every file corrupted", {kErr, kErr}, corrupted, 2, {kBad, kBad}, corrupted,
       L"album: not-present: File Corrupted"},
      {"every track failed, differently", {kErr, kErr}, mixed, 2, {kBad, kBad}, mixed,
       L"album: not-present: Cannot Check: Not In Tallydisc (or a different pressing)"},
      {"no match, one file unreadable",
       {kBad, kBad, kErr, kBad, kBad},
       {line(1, L"Track InAccurate"), line(2, L"Track InAccurate"), line(3, L"Unable to Open File"),
        line(4, L"Track InAccurate"), line(5, L"Track InAccurate")},
       1,
       {kBad, kBad, kBad, kBad, kBad},
       Lines(5, kNotPresentLine),
       L"album: not-present: Cannot Check: Not In Tallydisc (or a different pressing)"},
  };
  for (const auto& c : cases) {
    Outcome o;
    run(o, c.statuses, c.lines, 0.0, c.cannot_check);
    EXPECT_EQ(o.check.statuses, c.after) << c.name;
    EXPECT_EQ(o.check.lines, c.lines_after) << c.name;
    EXPECT_EQ(o.summary, c.summary) << c.name;
    EXPECT_EQ(o.cache.size(), 0u) << c.name;
    EXPECT_TRUE(o.check.finished && o.check.has_results) << c.name;
    EXPECT_EQ(o.album.inaccurate_count, static_cast<int>(c.after.size())) << c.name;
  }
}

TEST(AlbumVerdict, StoppedOrFilelessTracksAreNotStored) {
  Outcome stopped;
  run(stopped, {kOk, kOk}, {line(1, verified(4)), line(2, verified(4))}, 4.0, 0, true);
  EXPECT_EQ(stopped.cache.size(), 0u);
  EXPECT_TRUE(stopped.check.finished && stopped.check.has_results);

  Outcome fileless;
  fill_tracks(fileless.check, 3);
  fileless.check.tracks[1].path.clear();
  fileless.check.statuses = {kOk, kNoFile, kOk};
  fileless.check.lines = {line(1, verified(4)), L"", line(3, verified(4))};
  album_verdict(fileless.check, 4.0, false, 0, fileless.cache);
  EXPECT_EQ(fileless.cache.size(), 2u);
  EXPECT_FALSE(fileless.cache.find(track_file_id(2)));
  // The track without a file does not count against the album.
  fileless.album = make_album(3);
  harvest(fileless.check, 0, fileless.album, fileless.lists);
  EXPECT_TRUE(fileless.lists.accurate.contains(0));
  EXPECT_EQ(fileless.album.paths, (Lines{track_path(1), L"", track_path(3)}));
}

TEST(ResultCachePath, AnswersOnlyUnchangedFiles) {
  TDResultCacheTable cache;
  cache.store(track_file_id(1), track_stamp(1), 0, line(1, verified(3)));
  cache.store(track_file_id(2), track_stamp(2), 1, line(2, L"Track InAccurate"));
  cache.store(track_file_id(3), track_stamp(3) + 1, 0, line(3, verified(3)));  // file changed since

  struct Case {
    const char* name;
    int tracks;
    int without_path;  // 0 = none
    bool answered;
    Statuses statuses;
  };
  const Case cases[] = {
      {"all found", 2, 0, true, {0, 1}},
      {"stamp differs", 3, 0, false, {0, 1}},
      {"not in the cache", 4, 3, false, {0, 1, kNoFile}},
      {"a track without a file", 3, 3, true, {0, 1, kNoFile}},
      {"no tracks", 0, 0, false, {}},
  };
  for (const auto& c : cases) {
    TDAlbumCheck check;
    fill_tracks(check, c.tracks);
    if (c.without_path) check.tracks[c.without_path - 1].path.clear();
    EXPECT_EQ(result_cache_path(check, cache), c.answered) << c.name;
    EXPECT_EQ(check.statuses, c.statuses) << c.name;
    EXPECT_EQ(check.lines.size(), check.statuses.size()) << c.name;
    EXPECT_TRUE(check.finished && check.has_results && !check.idle) << c.name;
  }
}

TEST(TagChecksumPath, ConfirmsPreviousResults) {
  AlbumRecord album = make_album(4);
  album.tag_checksum_possible = true;
  for (auto& t : album.tracks) t.tag_checksum = 0xA0 + static_cast<std::uint32_t>(t.track_number);
  album.tracks[3].track_number = 7;  // track 4 has no album track

  TDAlbumCheck check;
  fill_tracks(check, 4);
  check.tracks[0].entries = {{3, 0xA1, 0, 0}, {9, 0xFF, 0, 0}, {5, 0xA1, 0, 1}, {4, 0xA1, 0, 1}};
  check.tracks[1].entries = {{1, 0xA2, 0, 0}};  // passed over with two or more required
  check.tracks[2].entries = {{6, 0xA3, 0, 0}};
  TDResultCacheTable cache;
  ASSERT_TRUE(tag_checksum_path(album, check, true, cache));
  EXPECT_EQ(check.statuses, (Statuses{kOk, kBad, kOk, kNoFile}));
  EXPECT_EQ(check.lines, (Lines{L"Track 1: Tallydisc Verified Confidence 5 [CRC 000000A1]", L"Track 2: Track InAccurate",
                                L"Track 3: Tallydisc Verified Confidence 6 [CRC 000000A3]", L""}));
  // Average 5.5: the verdict stores every track with a file, track 4 too.
  EXPECT_EQ(cache.size(), 4u);
  EXPECT_TRUE(check.finished && check.has_results);

  TDAlbumCheck single;
  fill_tracks(single, 4);
  single.tracks[1].entries = {{1, 0xA2, 0, 0}};
  TDResultCacheTable untouched;
  single.finished = false;
  EXPECT_TRUE(tag_checksum_path(album, single, false, untouched)) << "confidence 1 counts without the setting";
  EXPECT_EQ(single.statuses, (Statuses{kThin, kOk, kThin, kNoFile})) << "average 1: not enough information";
  EXPECT_EQ(untouched.size(), 0u);
}

TEST(TagChecksumPath, NoMatchOrNotPossible) {
  AlbumRecord album = make_album(2);
  album.tag_checksum_possible = true;
  for (auto& t : album.tracks) t.tag_checksum = 0x77;
  TDAlbumCheck check;
  fill_tracks(check, 2);
  check.tracks[0].entries = {{0, 0x11, 0, 0}};
  check.finished = false;
  TDResultCacheTable cache;
  EXPECT_FALSE(tag_checksum_path(album, check, false, cache));
  EXPECT_FALSE(check.finished) << "no verdict without a match";
  EXPECT_EQ(cache.size(), 0u);

  check.tracks[0].entries = {{0, 0x77, 0, 0}};  // confidence 0: matches without a text
  EXPECT_TRUE(tag_checksum_path(album, check, false, cache));
  EXPECT_EQ(check.statuses, (Statuses{kBad, kBad}));
  EXPECT_EQ(check.lines, Lines(2, kNotPresentLine));

  album.tag_checksum_possible = false;
  check.tracks[0].entries = {{9, 0x77, 0, 0}};
  EXPECT_FALSE(tag_checksum_path(album, check, false, cache));
}

TEST(Harvest, ListsAndLines) {
  // Two worker tracks found the same file: it counts once.
  Outcome same_file;
  fill_tracks(same_file.check, 2);
  same_file.check.tracks[1].path = track_path(1);
  same_file.check.statuses = {kOk, kBad};
  same_file.check.lines = {line(1, verified(3)), line(2, L"Track InAccurate")};
  same_file.album = make_album(2);
  harvest(same_file.check, 4, same_file.album, same_file.lists);
  EXPECT_TRUE(same_file.lists.accurate.contains(4));

  // Nothing harvested and no message: one line per track of the album.
  Outcome empty;
  empty.album = make_album(3);
  empty.album.lines = {L"stale"};
  harvest(empty.check, 1, empty.album, empty.lists);
  EXPECT_EQ(empty.album.message, verdict_text::kAlbumNotPresent);
  EXPECT_EQ(empty.album.lines, Lines(3, verdict_text::kTrackNotPresent));
  EXPECT_EQ(empty.album.paths.size(), empty.album.lines.size());
  EXPECT_TRUE(empty.lists.not_present.contains(1));

  // An album already in the not-present list keeps its message and lists.
  Outcome already;
  already.lists.not_present.add(2);
  fill_tracks(already.check, 1);
  already.check.statuses = {kOk};
  already.check.lines = {line(1, verified(3))};
  already.album = make_album(1);
  already.album.message = L"Cannot Check: Unable to Connect to Tallydisc";
  harvest(already.check, 2, already.album, already.lists);
  EXPECT_EQ(already.album.accurate_count, 1);
  EXPECT_EQ(already.lists.accurate.size(), 0u);
  EXPECT_EQ(already.lists.not_present.size(), 1u);
  EXPECT_EQ(already.album.message, L"Cannot Check: Unable to Connect to Tallydisc");
}

TEST(AlbumConclusion, LinesAndSummaryOfOneAlbum) {
  TDAlbumCheck accurate;
  fill_tracks(accurate, 2);
  accurate.statuses = {kOk, kErr};
  accurate.lines = {line(1, verified(4)), line(2, L"File Corrupted")};
  const auto good = conclude_album(accurate, 4.0, 1);
  EXPECT_EQ(good.lines, (Lines{line(1, verified(4)), line(2, L"File Corrupted")}));
  EXPECT_EQ(good.summary, L"album: accurate");

  TDAlbumCheck not_cd;
  fill_tracks(not_cd, 2);
  not_cd.statuses = {kBad, kBad};
  not_cd.lines = {line(1, L"Cannot Check: Not CD Quality"), line(2, L"Cannot Check: Not CD Quality")};
  EXPECT_EQ(conclude_album(not_cd, 0.0, 2).summary, L"album: not-present: Cannot Check");

  TDAlbumCheck weak;
  fill_tracks(weak, 2);
  weak.statuses = {kOk, kBad};
  weak.lines = {line(1, verified(2)), line(2, L"Track InAccurate")};
  const auto thin = conclude_album(weak, 2.0, 0);
  EXPECT_EQ(thin.lines[1], line(2, verdict_text::kNotEnoughInformation));
  EXPECT_EQ(thin.summary, L"album: errors");
}
