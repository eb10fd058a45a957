#include "verify/cache_lines.h"

#include <gtest/gtest.h>

TEST(ResultCacheLine, OnlyFourPiecesAreTaken) {
  struct Case {
    const wchar_t* line;
    bool taken;
  };
  const Case cases[] = {
      {L"7{_; _}123{_; _}0{_; _}Track 1: Tallydisc Verified Confidence 3", true},
      {L"7{_; _}123{_; _}0{_; _}", true},                          // empty line text
      {L"7{_; _}123{_; _}0{_; _}Track 1: a{_; _}b", false},        // the text holds a separator
      {L"7{_; _}123{_; _}0", false},                               // three pieces
      {L"", false},
      {L"7{_;_}123{_; _}0{_; _}x", false},          // "{_;_}" is no separator
  };
  for (const auto& c : cases) EXPECT_EQ(parse_result_cache_line(c.line).has_value(), c.taken) << c.line;
}

TEST(ResultCacheLine, FieldsReadBack) {
  const auto parsed = parse_result_cache_line(L"4294967295{_; _}18446744073709551615{_; _}-1{_; _}Track 2: x");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->file_id, 4294967295u);
  EXPECT_EQ(parsed->entry.file_stamp, UINT64_MAX);
  EXPECT_EQ(parsed->entry.status, -1);
  EXPECT_EQ(parsed->entry.line, L"Track 2: x");

  // A piece that is not a number reads as 0; the line is still taken.
  const auto loose = parse_result_cache_line(L"id{_; _}{_; _}2 {_; _}t");
  ASSERT_TRUE(loose);
  EXPECT_EQ(loose->file_id, 0u);
  EXPECT_EQ(loose->entry.file_stamp, 0u);
  EXPECT_EQ(loose->entry.status, 2);
}

TEST(ResultCacheLine, Format) {
  EXPECT_EQ(format_result_cache_line(7, {0, 2, L"Track 1: Not Enough"}), L"7{_; _}0{_; _}2{_; _}Track 1: Not Enough\r\n");
  EXPECT_EQ(format_result_cache_line(4294967295u, {UINT64_MAX, -1, L""}),
            L"4294967295{_; _}18446744073709551615{_; _}-1{_; _}\r\n");
  const TDResultCacheEntry entry{133456789012345678ull, 0, L"Track 9: \u00e9"};
  std::wstring line = format_result_cache_line(12, entry);
  line.resize(line.size() - 2);
  const auto back = parse_result_cache_line(line);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->file_id, 12u);
  EXPECT_EQ(back->entry, entry);
}

TEST(TocLookupLine, ParseAndFormat) {
  struct Case {
    const wchar_t* line;
    bool taken;
    std::uint32_t hash;
  };
  const Case cases[] = {
      {L"B2807530{_; _}B2807530;10000;20000{_; _}002-00001a2b-0000c3d4-1a2b3c4d;10000;20000", true, 0xB2807530},
      {L"b2807530{_; _}k{_; _}a", true, 0xB2807530},
      {L"00000001{_; _}k{_; _}", true, 1},
      {L"00000001{_; _}k", false, 0},
      {L"00000001{_; _}k{_; _}a{_; _}b", false, 0},
  };
  for (const auto& c : cases) {
    const auto parsed = parse_toc_lookup_line(c.line);
    ASSERT_EQ(parsed.has_value(), c.taken) << c.line;
    if (parsed) {
      EXPECT_EQ(parsed->hash, c.hash) << c.line;
    }
  }
  EXPECT_EQ(format_toc_lookup_line({0xABCD, L"0000ABCD;1;2", L"001-x;1"}), L"0000ABCD{_; _}0000ABCD;1;2{_; _}001-x;1\r\n");
}

TEST(TocLookupLine, HashIsTheFirstEightCharacters) {
  EXPECT_EQ(toc_key_hash(L"B2807530;10000;20000"), 0xB2807530u);
  EXPECT_EQ(toc_key_hash(L"b2807530123"), 0xB2807530u);
  EXPECT_EQ(toc_key_hash(L"12;3"), 0x12u);
  EXPECT_EQ(toc_key_hash(L""), 0u);
}

TEST(CacheField, LineBreaksAndSeparatorsDoNotFit) {
  EXPECT_TRUE(fits_cache_field(L"001-0000a1b2-0001c3d4-12345678;100;200"));
  EXPECT_TRUE(fits_cache_field(L""));
  EXPECT_FALSE(fits_cache_field(L"a\nb"));
  EXPECT_FALSE(fits_cache_field(L"a\rb"));
  EXPECT_FALSE(fits_cache_field(L"a{_; _}b"));
}

TEST(IgnoredAlbumsFile, Utf8WithCrLf) {
  EXPECT_EQ(ignored_albums_file_bytes({}), "");
  EXPECT_EQ(ignored_albums_file_bytes({L"band-sometitle-c:\\music\\-.flac", L"caf\u00e9-x"}),
            "band-sometitle-c:\\music\\-.flac\r\ncaf\xC3\xA9-x\r\n");
}

TEST(Utf16le, AppendsLittleEndianUnits) {
  std::string bytes;
  append_utf16le(bytes, L"A\u00e9\u20ac");
  EXPECT_EQ(bytes, std::string("A\0\xE9\0\xAC\x20", 6));
}
