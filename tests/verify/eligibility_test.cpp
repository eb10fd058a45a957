#include "verify/eligibility.h"

#include <gtest/gtest.h>

#include "album_fixtures.h"
#include "verify/verdict_texts.h"

namespace {
const auto kNeverStop = [] { return false; };

struct Shape {
  const char* name;
  int tracks;
  std::vector<int> numbers;  // empty: 1..tracks
  int total;
  bool with_checksums;
  bool quick_allowed;
  int not_lossless_track;   // 0 = none
  int wrong_length_track;   // 0 = none
  const wchar_t* message;   // expected; empty = checked
};

AlbumRecord build(const Shape& s) {
  AlbumRecord album = make_album(s.tracks);
  album.total_tracks = s.total;
  for (std::size_t i = 0; i < album.tracks.size(); ++i) {
    auto& track = album.tracks[i];
    if (!s.numbers.empty()) track.track_number = s.numbers[i];
    if (s.with_checksums) track.tag_checksum = 0x1000 + static_cast<std::uint32_t>(i);
  }
  if (s.not_lossless_track) album.tracks[s.not_lossless_track - 1].lossless_cd_quality = false;
  if (s.wrong_length_track) album.tracks[s.wrong_length_track - 1].sample_count += 1;
  return album;
}
}  // namespace

TEST(Eligibility, MessagesAndTheQuickPath) {
  const wchar_t* ok = L"";
  const Shape shapes[] = {
      {"complete", 3, {}, 0, false, true, 0, 0, ok},
      {"total equals count", 3, {}, 3, false, true, 0, 0, ok},
      {"not lossless", 3, {}, 0, false, true, 2, 0, verdict_text::kNotLossless},
      {"wrong length", 3, {}, 0, false, true, 0, 3, verdict_text::kDifferentLength},
      {"not lossless comes first", 3, {}, 12, false, true, 1, 2, verdict_text::kNotLossless},
      {"12 in the tags, 11 files", 11, {}, 12, false, true, 0, 0, verdict_text::kIncomplete},
      {"11 of 12 with previous results", 11, {}, 12, true, true, 0, 0, ok},
      {"11 of 12, quick path not allowed", 11, {}, 12, true, false, 0, 0, verdict_text::kIncomplete},
      {"previous results keep even a wrong length", 3, {}, 0, true, true, 0, 2, ok},
      {"numbers 1, 2, 4", 3, {1, 2, 4}, 0, false, true, 0, 0, verdict_text::kIncomplete},
      {"numbers 1, 2, 4 with previous results", 3, {1, 2, 4}, 0, true, true, 0, 0, ok},
      {"no numbers, no total", 4, {0, 0, 0, 0}, 0, false, true, 0, 0, ok},
      {"no numbers, total equals count", 4, {0, 0, 0, 0}, 4, false, true, 0, 0, ok},
      {"no numbers, other total", 4, {0, 0, 0, 0}, 5, false, true, 0, 0, verdict_text::kIncomplete},
      {"a track without number", 3, {1, 0, 3}, 0, false, true, 0, 0, ok},
      {"numbers 2, 3, 4", 3, {2, 3, 4}, 0, false, true, 0, 0, verdict_text::kIncomplete},
      {"a number twice", 3, {1, 1, 3}, 0, false, true, 0, 0, verdict_text::kIncomplete},
  };
  for (const auto& s : shapes) {
    std::vector<AlbumRecord> albums{build(s)};
    TDAlbumLists lists;
    const auto to_check = check_eligibility(albums, {}, s.quick_allowed, kNeverStop, lists);
    const bool checked = std::wstring(s.message).empty();
    EXPECT_EQ(albums[0].message, s.message) << s.name;
    EXPECT_EQ(to_check.size(), checked ? 1u : 0u) << s.name;
    EXPECT_EQ(lists.cannot_check.size(), checked ? 0u : 1u) << s.name;
    EXPECT_EQ(albums[0].checkable, albums[0].complete && albums[0].lossless && albums[0].lengths_match) << s.name;
  }
}

TEST(Eligibility, Flags) {
  std::vector<AlbumRecord> albums{build({"", 11, {}, 12, true, true, 0, 2, L""})};
  TDAlbumLists lists;
  check_eligibility(albums, {}, true, kNeverStop, lists);
  EXPECT_TRUE(albums[0].lossless);
  EXPECT_FALSE(albums[0].lengths_match);
  EXPECT_FALSE(albums[0].complete);
  EXPECT_TRUE(albums[0].tag_checksum_possible);
  EXPECT_FALSE(albums[0].checkable);
}

TEST(Eligibility, IgnoredAlbumsAreSetAsideByExactKey) {
  std::vector<AlbumRecord> albums{make_album(2), make_album(2), make_album(2)};
  albums[0].key = L"a-x-c:\\m\\-.flac";
  albums[1].key = L"b-y-c:\\m\\-.flac";
  albums[2].key = L"c-z-c:\\m\\-.flac";
  albums[1].tracks[0].lossless_cd_quality = false;  // excluded before any rule applies
  TDAlbumLists lists;
  const auto to_check = check_eligibility(albums, {L"b-y-c:\\m\\-.flac", L"C-Z-C:\\M\\-.FLAC"}, true, kNeverStop, lists);
  EXPECT_EQ(to_check, (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(lists.user_excluded.items(), (std::vector<std::size_t>{1}));
  EXPECT_EQ(lists.cannot_check.size(), 0u);
  EXPECT_TRUE(albums[1].message.empty());
}

TEST(Eligibility, StopsQuietly) {
  std::vector<AlbumRecord> albums{make_album(1), make_album(1), make_album(1)};
  TDAlbumLists lists;
  int asked = 0;
  const auto to_check = check_eligibility(albums, {}, true, [&] { return ++asked > 2; }, lists);
  EXPECT_EQ(to_check, (std::vector<std::size_t>{0, 1}));
}
