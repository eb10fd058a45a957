#include <windows.h>

#include <gtest/gtest.h>

#include "library/directory_iterator.h"
#include "library/file_ops.h"
#include "library/xfile.h"
#include "support/temp_folder.h"
#include "verify/album_verdict.h"
#include "verify/cache_lines.h"
#include "verify/ignored_albums.h"
#include "verify/quick_paths.h"
#include "verify/result_cache.h"
#include "verify/toc_lookup_cache.h"

namespace {
std::string utf16le(const std::wstring& text) {
  std::string bytes;
  append_utf16le(bytes, text);
  return bytes;
}

const std::wstring kSep = L"{_; _}";
}  // namespace

TEST(ResultCacheFile, LoadTakesValidLinesAndTheLaterOfTwo) {
  TempFolder tmp;
  const std::wstring text = L"\uFEFF1{_; _}100{_; _}0{_; _}Track 1: first\r\n"
                            L"2{_; _}200{_; _}0{_; _}Track 2: a{_; _}b\r\n"  // five pieces
                            L"\r\n"
                            L"3{_; _}300{_; _}1{_; _}Track 3: InAccurate\r"
                            L"1{_; _}101{_; _}2{_; _}Track 1: second\n"
                            L"4{_; _}400{_; _}0";  // three pieces
  clsTDResultCache cache(tmp.write(L"TDResultCache.bin", utf16le(text)));
  cache.store(99, 1, 0, L"dropped by load");
  cache.load();
  EXPECT_FALSE(cache.changed());
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_EQ(cache.find(1), (TDResultCacheEntry{101, 2, L"Track 1: second"}));
  EXPECT_EQ(cache.find(3), (TDResultCacheEntry{300, 1, L"Track 3: InAccurate"}));
  EXPECT_FALSE(cache.find(2));
  EXPECT_FALSE(cache.find(99));
}

TEST(ResultCacheFile, SaveWritesExactLinesOnlyWhenChanged) {
  TempFolder tmp;
  const std::wstring path = tmp.file(L"TDResultCache.bin");
  clsTDResultCache cache(path);
  cache.load();  // missing file: empty
  EXPECT_EQ(cache.size(), 0u);
  EXPECT_TRUE(cache.save());
  EXPECT_FALSE(file_exists(path)) << "nothing changed, nothing written";

  cache.store(5, 0, 0, L"Track 1: Tallydisc Verified Confidence 3");
  cache.store(4294967295u, 18446744073709551615ull, 2, L"Track 2: \u00c9");
  cache.store(5, 7, 0, L"Track 1: replaced");
  EXPECT_TRUE(cache.changed());
  ASSERT_TRUE(cache.save());
  EXPECT_FALSE(cache.changed());
  EXPECT_EQ(read_file_bytes(path), utf16le(L"5{_; _}7{_; _}0{_; _}Track 1: replaced\r\n"
                                    L"4294967295{_; _}18446744073709551615{_; _}2{_; _}Track 2: \u00c9\r\n"));
  EXPECT_EQ(count_folder_entries(tmp.path()), 1u) << "no temporary file left behind";

  clsTDResultCache again(path);
  again.load();
  EXPECT_EQ(again.size(), 2u);
  EXPECT_EQ(again.find(4294967295u), (TDResultCacheEntry{18446744073709551615ull, 2, L"Track 2: \u00c9"}));
}

TEST(ResultCacheFile, FailedSaveKeepsThePreviousFileAndTheFlag) {
  TempFolder tmp;
  const std::string previous = utf16le(L"1{_; _}1{_; _}0{_; _}Track 1: old\r\n");
  const std::wstring path = tmp.write(L"TDResultCache.bin", previous);
  clsTDResultCache cache(path);
  cache.load();
  cache.store(2, 2, 0, L"Track 2: new");
  {
    // An open handle without delete sharing: the new file cannot replace it.
    XFile holder(path);
    holder.open(GENERIC_READ, OPEN_EXISTING, true);
    ASSERT_TRUE(holder.is_open());
    EXPECT_FALSE(cache.save());
  }
  EXPECT_TRUE(cache.changed());
  EXPECT_EQ(read_file_bytes(path), previous);
  EXPECT_EQ(count_folder_entries(tmp.path()), 1u);

  ASSERT_TRUE(cache.save());
  EXPECT_EQ(read_file_bytes(path), previous + utf16le(L"2{_; _}2{_; _}0{_; _}Track 2: new\r\n"));
}

TEST(ResultCacheFile, ClearLeavesAnEmptyFileAndAnEmptyMap) {
  TempFolder tmp;
  const std::wstring path = tmp.write(L"TDResultCache.bin", utf16le(L"1{_; _}1{_; _}0{_; _}Track 1: x\r\n"));
  clsTDResultCache cache(path);
  cache.load();
  ASSERT_EQ(cache.size(), 1u);
  EXPECT_TRUE(cache.clear());
  EXPECT_EQ(cache.size(), 0u);
  EXPECT_TRUE(file_exists(path));
  EXPECT_EQ(read_file_bytes(path), "");
}

TEST(TocLookupFile, LoadFindAddSave) {
  TempFolder tmp;
  const std::wstring path =
      tmp.write(L"TDTocLookup.bin", utf16le(L"B2807530{_; _}B2807530;10000;20000{_; _}002-a;10000;20000\r\n"
                                            L"junk line\r\n"
                                            L"00000001{_; _}00000001;1{_; _}001-b;1\r\n"));
  TDTocLookupCache cache(path);
  cache.load();
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_FALSE(cache.changed());
  const std::int32_t hit = cache.find(L"B2807530;10000;20000");
  ASSERT_EQ(hit, 0);
  EXPECT_EQ(cache.answer(hit), L"002-a;10000;20000");
  EXPECT_EQ(cache.find(L"b2807530;10000;20000"), -1);

  cache.add(L"0000ABCD;5", L"001-c;5");
  cache.add(L"0000ABCD;6", L"001-d\n;6");  // could not be read back: not kept
  EXPECT_EQ(cache.size(), 3u);
  EXPECT_EQ(cache.answer(cache.find(L"0000ABCD;5")), L"001-c;5");
  ASSERT_TRUE(cache.save());
  EXPECT_FALSE(cache.changed());
  EXPECT_EQ(read_file_bytes(path), utf16le(L"B2807530{_; _}B2807530;10000;20000{_; _}002-a;10000;20000\r\n"
                                    L"00000001{_; _}00000001;1{_; _}001-b;1\r\n"
                                    L"0000ABCD{_; _}0000ABCD;5{_; _}001-c;5\r\n"));
}

TEST(Caches, ARunWithoutResultsWritesNeitherFile) {
  TempFolder tmp;
  clsTDResultCache results(tmp.file(L"TDResultCache.bin"));
  TDTocLookupCache lookups(tmp.file(L"TDTocLookup.bin"));
  results.load();
  lookups.load();
  EXPECT_EQ(lookups.find(L"0000ABCD;5"), -1);
  EXPECT_FALSE(results.find(1));
  EXPECT_TRUE(results.save());
  EXPECT_TRUE(lookups.save());
  EXPECT_EQ(count_folder_entries(tmp.path()), 0u);
}

TEST(IgnoredAlbumsFile, ReadSkipsEmptyLines) {
  TempFolder tmp;
  struct Case {
    const char* bytes;
    std::vector<std::wstring> keys;
  };
  const Case cases[] = {
      {"a-x-c:\\m\\-.flac\r\n\r\nb-y-c:\\m\\-.flac\r\n", {L"a-x-c:\\m\\-.flac", L"b-y-c:\\m\\-.flac"}},
      {"\xEF\xBB\xBF" "caf\xC3\xA9\nlast", {L"caf\u00e9", L"last"}},
      {"\r\n\r\n", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read_ignored_albums(tmp.write(L"TD-IgnoredAlbums.txt", c.bytes)), c.keys) << c.bytes;
  }
  EXPECT_TRUE(read_ignored_albums(tmp.file(L"missing.txt")).empty());
}

TEST(IgnoredAlbumsFile, WriteReplacesTheWholeFile) {
  TempFolder tmp;
  const std::wstring path = tmp.write(L"TD-IgnoredAlbums.txt", "old-key\r\nother\r\n");
  const std::vector<std::wstring> keys{L"caf\u00e9-x", L"b"};
  ASSERT_TRUE(write_ignored_albums(path, keys));
  EXPECT_EQ(read_file_bytes(path), "caf\xC3\xA9-x\r\nb\r\n");
  EXPECT_EQ(read_ignored_albums(path), keys);
  ASSERT_TRUE(write_ignored_albums(path, {}));
  EXPECT_EQ(read_file_bytes(path), "");
  EXPECT_EQ(count_folder_entries(tmp.path()), 1u);
}

TEST(ResultCacheFile, AVerifiedAlbumIsAnsweredFromTheFileNextRun) {
  TempFolder tmp;
  const std::wstring path = tmp.file(L"TDResultCache.bin");
  TDAlbumCheck first;
  for (int n = 1; n <= 3; ++n) {
    TDTrackCheck track;
    track.track_number = n;
    track.file_id = 40 + static_cast<std::uint32_t>(n);
    track.file_stamp = 133456789012345678ull + static_cast<std::uint64_t>(n);
    track.path = L"C:\\music\\" + std::to_wstring(n) + L".flac";
    first.tracks.push_back(track);
  }
  first.statuses = {track_status::kAccurate, track_status::kAccurate, track_status::kInaccurate};
  first.lines = {L"Track 1: Tallydisc Verified Confidence 4, Pressing Offset +6 [TDv2 CRC 0A1B2C3D]",
                 L"Track 2: Tallydisc Verified Confidence 3, Pressing Offset +6 [TDv1 CRC 00000001]",
                 L"Track 3: Track InAccurate"};
  {
    clsTDResultCache cache(path);
    cache.load();
    album_verdict(first, 3.5, false, 0, cache);
    ASSERT_TRUE(cache.save());
  }
  clsTDResultCache next_run(path);
  next_run.load();
  TDAlbumCheck second;
  second.tracks = first.tracks;
  ASSERT_TRUE(result_cache_path(second, next_run));
  EXPECT_EQ(second.statuses, first.statuses);
  EXPECT_EQ(second.lines, first.lines);

  second.tracks[2].file_stamp += 1;  // the file was rewritten since
  EXPECT_FALSE(result_cache_path(second, next_run));
}
