#include "library/index_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "library/byte_order.h"
#include "library/exceptions.h"
#include "library/index_writer.h"
#include "library/number_text.h"

namespace {
ByteView view(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

std::string utf16(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) append_le(out, static_cast<std::uint16_t>(c));
  return out;
}

IndexedTrack track(std::int32_t id, std::wstring path, ItemList tags = {}, std::string art = {}) {
  IndexedTrack t;
  t.file_id = id;
  t.file_stamp = 1000 + static_cast<std::uint64_t>(id);
  t.second_stamp = 2000 + static_cast<std::uint64_t>(id);
  t.path = std::move(path);
  t.track_stamp = 3000 + id;
  t.properties.items = {{L"Audio Quality", L"Lossless", {}}, {L"Sample Count", L"12,345,678", {}}};
  t.tags = std::move(tags);
  t.art = std::move(art);
  return t;
}
}  // namespace

TEST(NumberText, DecimalAndHexReaders) {
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  const struct {
    const wchar_t* text;
    std::int64_t value;
  } signed_cases[] = {
      {L"  42abc", 42}, {L"-17", -17}, {L"+5", 5}, {L"", 0}, {L"x1", 0}, {L"- 1", 0},
      {L"9223372036854775807", kMax}, {L"99999999999999999999", kMax},
      {L"-9223372036854775808", kMin}, {L"-99999999999999999999", kMin},
  };
  for (const auto& c : signed_cases) EXPECT_EQ(parse_decimal_signed(c.text), c.value) << c.text;

  EXPECT_EQ(parse_decimal_unsigned(L" +18446744073709551615"), 0xFFFFFFFFFFFFFFFFull);
  EXPECT_EQ(parse_decimal_unsigned(L"18446744073709551616"), 0xFFFFFFFFFFFFFFFFull);
  EXPECT_EQ(parse_decimal_unsigned(L"-3"), 0u);
  EXPECT_EQ(parse_decimal_unsigned(L"12 34"), 12u);

  EXPECT_EQ(parse_hex32(L"0a1B2c3D"), 0x0A1B2C3Du);
  EXPECT_EQ(parse_hex32(L"ffG1"), 0xFFu);
  EXPECT_EQ(parse_hex32(L" 1"), 0u);
}

TEST(FileIndex, PackedRecordsDropATruncatedLastRecord) {
  std::vector<FileIndexRecord> records(3);
  for (int i = 0; i < 3; ++i) {
    records[i].set_file_id(10 + i);
    records[i].set_state(static_cast<std::uint8_t>(i));
    records[i].set_track_stamp(-5 - i);
    records[i].set_art(7, 99u + static_cast<std::uint32_t>(i));
    records[i].set_entry(1LL << 40, 12, 34);
  }
  std::string bytes = encode_file_index(records) + std::string(10, '\x55');
  ASSERT_EQ(bytes.size(), 61u * 3 + 10);
  const auto parsed = parse_file_index(view(bytes));
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[2].file_id(), 12);
  EXPECT_EQ(parsed[2].state(), 2);
  EXPECT_EQ(parsed[2].track_stamp(), -7);
  EXPECT_EQ(parsed[2].art_key(), 7);
  EXPECT_EQ(parsed[2].art_size(), 101u);
  EXPECT_EQ(parsed[2].entry_offset(), 1LL << 40);
  EXPECT_EQ(parsed[2].property_length(), 12u);
  EXPECT_EQ(parsed[2].tag_length(), 34u);
  // Field offsets as stored on disk.
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[61 + 0]), 11);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[61 + 12]), 1);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[61 + 21]), 7);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[61 + 25]), 100);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[61 + 34]), 1);  // byte 5 of the offset 2^40
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[61 + 37]), 12);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[61 + 41]), 34);

  const auto arts = parse_art_index(view(encode_art_index({{3, 4, 5}, {6, 7, 8}}) + "xyz"));
  ASSERT_EQ(arts.size(), 2u);
  EXPECT_EQ(arts[1].key, 6);
  EXPECT_EQ(arts[1].size, 7u);
  EXPECT_EQ(arts[1].offset, 8u);
}

TEST(FileNameList, KeepsOnlyLinesOfFourFields) {
  const std::string bytes = utf16(
      L"\xFEFF"
      L"77\r\n"
      L"1{_; _}10{_; _}20{_; _}C:\\Music\\a.flac\r\n"
      L"2{_; _}10{_; _}C:\\three.flac\n"
      L"3{_; _}1{_; _}2{_; _}C:\\x{_; _}five.flac\r"
      L"\r\n"
      L"\xFEFF"
      L"4{_; _}18446744073709551615{_; _}99999999999999999999{_; _}C:\\odd{_;name.flac\n"
      L"-5{_; _}0{_; _}0{_; _}D:\\last.mp3");
  const FileNameTable table = parse_file_name_list(view(bytes));
  EXPECT_EQ(table.header_number, 77);
  ASSERT_EQ(table.records.size(), 3u);
  EXPECT_EQ(table.records[0], (FileNameRecord{1, 10, 20, L"C:\\Music\\a.flac"}));
  EXPECT_EQ(table.records[1], (FileNameRecord{4, 0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull, L"C:\\odd{_;name.flac"}));
  EXPECT_EQ(table.records[2], (FileNameRecord{-5, 0, 0, L"D:\\last.mp3"}));

  EXPECT_EQ(parse_file_name_list(view(utf16(L"\r\n"))).header_number, 0);
}

TEST(FileNameList, WriterOutputReadsBack) {
  FileNameTable table;
  table.header_number = -3;
  table.records = {{5, 1, 2, L"C:\\\x00E9t\x00E9.flac"}, {6, 0xFFFFFFFFFFFFFFFFull, 0, L"\\\\server\\x.wav"}};
  const std::string bytes = encode_file_name_list(table);
  EXPECT_EQ(bytes.substr(0, 8), utf16(L"-3\r\n"));
  const FileNameTable back = parse_file_name_list(view(bytes));
  EXPECT_EQ(back.header_number, -3);
  EXPECT_EQ(back.records, table.records);
}

TEST(TrackEntry, BuilderEntriesReadBackWithHeaderAndBothBlocks) {
  LibraryIndexBuilder builder;
  builder.add(track(1, L"C:\\a.flac", ItemList{{{L"album", L"One", {}}, {L"track", L"1/2", {}}}}));
  IndexedTrack second = track(2, L"C:\\b.mp3", ItemList{{{L"album", L"Two", {}}}});
  second.channels = 1;
  second.sample_rate = 48000;
  second.bits_per_sample = 24;
  builder.add(second);
  const LibraryIndexFiles files = builder.files();
  const auto index = parse_file_index(view(files.file_index));
  ASSERT_EQ(index.size(), 2u);
  const TrackEntry entry = read_track_entry(view(files.inf_props_n_tags), index[1]);
  EXPECT_EQ(entry.header.channels(), 1);
  EXPECT_EQ(entry.header.sample_rate(), 48000u);
  EXPECT_EQ(entry.header.bits_per_sample(), 24);
  EXPECT_EQ(entry.properties.value_of(L"SAMPLE COUNT"), L"12,345,678");
  EXPECT_EQ(entry.tags.value_of(L"Album"), L"Two");
  EXPECT_EQ(index[1].track_stamp(), 3002);
  EXPECT_EQ(read_track_entry(view(files.inf_props_n_tags), index[0]).tags.value_of(L"track"), L"1/2");
}

TEST(TrackEntry, ACutShortTagBlockKeepsItsCompleteItems) {
  ItemList five;
  for (int i = 0; i < 5; ++i) five.items.push_back({L"n" + std::to_wstring(i), L"v", {}});
  std::string block = write_item_block(five);
  // Each item: 4 + 2*3 + 2*2 = 14 bytes; keep 3 whole items and half of the fourth.
  block.resize(4 + 3 * 14 + 7);
  std::string file(PropertyHeader::kSize, '\0');
  file += block;
  FileIndexRecord record;
  record.set_entry(0, 0, static_cast<std::uint32_t>(block.size()));
  const TrackEntry entry = read_track_entry(view(file), record);
  ASSERT_EQ(entry.tags.items.size(), 3u);
  EXPECT_EQ(entry.tags.items[2].name, L"n2");
  EXPECT_TRUE(entry.properties.items.empty());
}

TEST(TrackEntry, PartsOutsideTheFileAreCorruption) {
  const std::string file(PropertyHeader::kSize + 20, '\0');
  const struct {
    std::int64_t offset;
    std::uint32_t properties;
    std::uint32_t tags;
    bool corrupted;
  } cases[] = {
      {0, 20, 0, false},
      {0, 8, 12, false},
      {20, 0, 0, false},
      {21, 0, 0, true},        // header reaches past the end
      {-1, 0, 0, true},        // a negative offset
      {0, 21, 0, true},        // property block past the end
      {0, 8, 13, true},        // tag block past the end
      {0, 0xFFFFFFFFu, 0xFFFFFFFFu, true},
      {std::numeric_limits<std::int64_t>::max(), 0, 0, true},
  };
  for (const auto& c : cases) {
    FileIndexRecord record;
    record.set_entry(c.offset, c.properties, c.tags);
    if (c.corrupted)
      EXPECT_THROW(read_track_entry(view(file), record), exception_index_corrupted) << c.offset;
    else
      EXPECT_NO_THROW(read_track_entry(view(file), record)) << c.offset;
  }
}

TEST(AlbumArt, FoundByKeyAndSizeTogether) {
  const std::string arts = "AAAABBBBBBCC";
  // The last record repeats the first key and size: the first one wins.
  const std::vector<ArtIndexRecord> index = {{1, 4, 0}, {1, 6, 4}, {2, 2, 10}, {3, 5, 10}, {1, 4, 8}};
  auto art_of = [&](std::int32_t key, std::uint32_t size) {
    FileIndexRecord record;
    record.set_art(key, size);
    return ArtFinder(index, view(arts)).find(record);
  };
  auto text = [](ByteView v) { return std::string(v.begin(), v.end()); };
  EXPECT_EQ(text(*art_of(1, 4)), "AAAA");
  EXPECT_EQ(text(*art_of(1, 6)), "BBBBBB");
  EXPECT_EQ(text(*art_of(2, 2)), "CC");
  EXPECT_FALSE(art_of(1, 5));
  EXPECT_FALSE(art_of(9, 4));
  EXPECT_FALSE(art_of(1, 0));
  EXPECT_THROW(art_of(3, 5), exception_index_corrupted);

  const std::vector<ArtIndexRecord> huge = {{4, 8, 0xFFFFFFFFFFFFFFFCull}};
  FileIndexRecord record;
  record.set_art(4, 8);
  EXPECT_THROW(ArtFinder(huge, view(arts)).find(record), exception_index_corrupted);
}

TEST(AlbumArt, BuilderStoresEqualPicturesOnce) {
  LibraryIndexBuilder builder;
  builder.add(track(1, L"C:\\a.flac", {}, "PIC-ONE"));
  builder.add(track(2, L"C:\\b.flac", {}, "PIC-ONE"));
  builder.add(track(3, L"C:\\c.flac", {}, "PIC-2"));
  builder.add(track(4, L"C:\\d.flac"));
  const LibraryIndexFiles files = builder.files();
  EXPECT_EQ(files.album_arts, "PIC-ONEPIC-2");
  const auto arts = parse_art_index(view(files.art_index));
  const auto index = parse_file_index(view(files.file_index));
  ASSERT_EQ(arts.size(), 2u);
  const ArtFinder finder(arts, view(files.album_arts));
  auto art_text = [&](int i) {
    auto v = finder.find(index[i]);
    return v ? std::string(v->begin(), v->end()) : std::string("none");
  };
  EXPECT_EQ(art_text(0), "PIC-ONE");
  EXPECT_EQ(art_text(1), "PIC-ONE");
  EXPECT_EQ(art_text(2), "PIC-2");
  EXPECT_EQ(art_text(3), "none");
}

TEST(FileNameFinder, FindsInOrderAfterJumpsAndAcrossTheWrap) {
  std::vector<FileNameRecord> records;
  for (int i = 0; i < 100; ++i) records.push_back({i * 2, 0, 0, L""});
  records.push_back({2, 0, 0, L"second with id 2"});
  FileNameFinder finder(records);
  EXPECT_EQ(finder.find(0), 0);
  EXPECT_EQ(finder.find(180), 90);
  // Behind the previous hit by more than the look-behind: found after the wrap.
  EXPECT_EQ(finder.find(10), 5);
  EXPECT_EQ(finder.find(198), 99);
  // The search starts just before the previous hit: a later record with the
  // same id wins over an earlier one that lies before that start.
  EXPECT_EQ(finder.find(2), 100);
  EXPECT_EQ(finder.find(7), -1);
  EXPECT_EQ(finder.find(0), 0);
  EXPECT_EQ(finder.find(2), 1);
}
