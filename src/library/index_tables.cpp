#include "library/index_tables.h"

#include <algorithm>

#include "library/byte_order.h"
#include "library/exceptions.h"
#include "library/line_rules.h"
#include "library/number_text.h"

std::int32_t FileIndexRecord::file_id() const { return read_le<std::int32_t>(&bytes[0]); }
std::int64_t FileIndexRecord::track_stamp() const { return read_le<std::int64_t>(&bytes[13]); }
std::int32_t FileIndexRecord::art_key() const { return read_le<std::int32_t>(&bytes[21]); }
std::uint32_t FileIndexRecord::art_size() const { return read_le<std::uint32_t>(&bytes[25]); }
std::int64_t FileIndexRecord::entry_offset() const { return read_le<std::int64_t>(&bytes[29]); }
std::uint32_t FileIndexRecord::property_length() const { return read_le<std::uint32_t>(&bytes[37]); }
std::uint32_t FileIndexRecord::tag_length() const { return read_le<std::uint32_t>(&bytes[41]); }

void FileIndexRecord::set_file_id(std::int32_t v) { write_le(&bytes[0], v); }
void FileIndexRecord::set_track_stamp(std::int64_t v) { write_le(&bytes[13], v); }
void FileIndexRecord::set_art(std::int32_t key, std::uint32_t size) {
  write_le(&bytes[21], key);
  write_le(&bytes[25], size);
}
void FileIndexRecord::set_entry(std::int64_t offset, std::uint32_t property_length, std::uint32_t tag_length) {
  write_le(&bytes[29], offset);
  write_le(&bytes[37], property_length);
  write_le(&bytes[41], tag_length);
}

std::uint16_t PropertyHeader::channels() const { return read_le<std::uint16_t>(&bytes[2]); }
std::uint32_t PropertyHeader::sample_rate() const { return read_le<std::uint32_t>(&bytes[4]); }
std::uint16_t PropertyHeader::bits_per_sample() const { return read_le<std::uint16_t>(&bytes[14]); }
void PropertyHeader::set_format(std::uint16_t channel_count, std::uint32_t rate, std::uint16_t bits) {
  write_le(&bytes[2], channel_count);
  write_le(&bytes[4], rate);
  write_le(&bytes[14], bits);
}

namespace {
std::vector<std::wstring> split_fields(const std::wstring& line) {
  std::vector<std::wstring> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = line.find(kFieldSeparator, start);
    if (at == std::wstring::npos) break;
    fields.push_back(line.substr(start, at - start));
    start = at + kFieldSeparator.size();
  }
  fields.push_back(line.substr(start));
  return fields;
}

// True when [start, start + length) lies inside a buffer of `total` bytes.
bool range_inside(std::uint64_t start, std::uint64_t length, std::uint64_t total) {
  return start <= total && length <= total - start;
}
}  // namespace

FileNameTable parse_file_name_list(ByteView bytes) {
  FileNameTable table;
  std::uint64_t position = 0;
  MemoryUtf16Source source{bytes.data(), bytes.size(), position};
  std::u16string units;
  if (!read_utf16_units_line(source, units)) return table;
  table.header_number = parse_decimal_signed(units_to_wide(units));
  while (read_utf16_units_line(source, units)) {
    if (units.empty()) continue;
    const auto fields = split_fields(units_to_wide(units));
    if (fields.size() != 4) continue;
    table.records.push_back({static_cast<std::int32_t>(parse_decimal_signed(fields[0])),
                             parse_decimal_unsigned(fields[1]), parse_decimal_unsigned(fields[2]), fields[3]});
  }
  return table;
}

std::vector<FileIndexRecord> parse_file_index(ByteView bytes) {
  std::vector<FileIndexRecord> records(bytes.size() / FileIndexRecord::kSize);
  for (std::size_t i = 0; i < records.size(); ++i)
    std::copy_n(bytes.data() + i * FileIndexRecord::kSize, FileIndexRecord::kSize, records[i].bytes.begin());
  return records;
}

std::vector<ArtIndexRecord> parse_art_index(ByteView bytes) {
  std::vector<ArtIndexRecord> records(bytes.size() / ArtIndexRecord::kSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::uint8_t* p = bytes.data() + i * ArtIndexRecord::kSize;
    records[i] = {read_le<std::int32_t>(p), read_le<std::uint32_t>(p + 4), read_le<std::uint64_t>(p + 8)};
  }
  return records;
}

TrackEntry read_track_entry(ByteView file, const FileIndexRecord& record) {
  // A negative offset reads as a huge one and fails the bounds check.
  const auto entry = static_cast<std::uint64_t>(record.entry_offset());
  if (!range_inside(entry, PropertyHeader::kSize, file.size())) throw exception_index_corrupted();
  TrackEntry out;
  std::copy_n(file.data() + entry, PropertyHeader::kSize, out.header.bytes.begin());
  const std::uint64_t properties_at = entry + PropertyHeader::kSize;
  const std::uint64_t property_length = record.property_length();
  if (property_length != 0) {
    if (!range_inside(properties_at, property_length, file.size())) throw exception_index_corrupted();
    out.properties = parse_item_block(file.data() + properties_at, property_length);
  }
  const std::uint64_t tag_length = record.tag_length();
  if (tag_length != 0) {
    if (!range_inside(properties_at, property_length, file.size()) ||
        !range_inside(properties_at + property_length, tag_length, file.size()))
      throw exception_index_corrupted();
    out.tags = parse_item_block(file.data() + properties_at + property_length, tag_length);
  }
  return out;
}

namespace {
std::uint64_t art_lookup_key(std::int32_t key, std::uint32_t size) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(key)) << 32) | size;
}
}  // namespace

ArtFinder::ArtFinder(const std::vector<ArtIndexRecord>& art_index, ByteView album_arts)
    : art_index_(art_index), album_arts_(album_arts) {
  first_by_key_and_size_.reserve(art_index.size());
  for (std::size_t i = 0; i < art_index.size(); ++i)
    first_by_key_and_size_.try_emplace(art_lookup_key(art_index[i].key, art_index[i].size), i);
}

std::optional<ByteView> ArtFinder::find(const FileIndexRecord& record) const {
  if (record.art_size() == 0) return std::nullopt;
  const auto found = first_by_key_and_size_.find(art_lookup_key(record.art_key(), record.art_size()));
  if (found == first_by_key_and_size_.end()) return std::nullopt;
  const ArtIndexRecord& art = art_index_[found->second];
  if (!range_inside(art.offset, art.size, album_arts_.size())) throw exception_index_corrupted();
  return album_arts_.subspan(art.offset, art.size);
}

std::int64_t FileNameFinder::find(std::int32_t file_id) {
  if (last_hit_ >= records_.size()) last_hit_ = 0;
  const std::size_t start = last_hit_ > kLookBehind ? last_hit_ - kLookBehind : 0;
  auto scan = [&](std::size_t from, std::size_t to) -> std::int64_t {
    for (std::size_t i = from; i < to; ++i) {
      if (records_[i].file_id == file_id) {
        last_hit_ = i;
        return static_cast<std::int64_t>(i);
      }
    }
    return -1;
  };
  const std::int64_t found = scan(start, records_.size());
  if (found >= 0 || start == 0) return found;
  return scan(0, start);
}
