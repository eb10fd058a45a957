#include "library/index_writer.h"

#include "library/byte_order.h"

namespace {
void append_utf16(std::string& out, std::wstring_view text) {
  for (wchar_t c : text) append_le(out, static_cast<std::uint16_t>(c));
}

std::wstring decimal(std::int64_t v) { return std::to_wstring(v); }
std::wstring decimal(std::uint64_t v) { return std::to_wstring(v); }
}  // namespace

std::string encode_file_name_list(const FileNameTable& table) {
  std::string out;
  append_utf16(out, decimal(table.header_number) + L"\r\n");
  for (const auto& r : table.records) {
    std::wstring line = decimal(static_cast<std::int64_t>(r.file_id));
    line.append(kFieldSeparator).append(decimal(r.file_stamp));
    line.append(kFieldSeparator).append(decimal(r.second_stamp));
    line.append(kFieldSeparator).append(r.path).append(L"\r\n");
    append_utf16(out, line);
  }
  return out;
}

std::string encode_file_index(const std::vector<FileIndexRecord>& records) {
  std::string out;
  out.reserve(records.size() * FileIndexRecord::kSize);
  for (const auto& r : records) out.append(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size());
  return out;
}

std::string encode_art_index(const std::vector<ArtIndexRecord>& records) {
  std::string out;
  out.reserve(records.size() * ArtIndexRecord::kSize);
  for (const auto& r : records) {
    append_le(out, r.key);
    append_le(out, r.size);
    append_le(out, r.offset);
  }
  return out;
}

void LibraryIndexBuilder::add(const IndexedTrack& track) {
  file_names.records.push_back({track.file_id, track.file_stamp, track.second_stamp, track.path});

  FileIndexRecord record;
  record.set_file_id(track.file_id);
  record.set_state(track.state);
  record.set_track_stamp(track.track_stamp);

  PropertyHeader header;
  header.set_format(track.channels, track.sample_rate, track.bits_per_sample);
  const std::string properties = write_item_block(track.properties);
  const std::string tags = write_item_block(track.tags);
  record.set_entry(static_cast<std::int64_t>(inf_props_n_tags.size()), static_cast<std::uint32_t>(properties.size()),
                   static_cast<std::uint32_t>(tags.size()));
  inf_props_n_tags.append(reinterpret_cast<const char*>(header.bytes.data()), header.bytes.size());
  inf_props_n_tags += properties;
  inf_props_n_tags += tags;

  if (!track.art.empty()) {
    auto [it, added] = art_by_bytes_.try_emplace(track.art, art_index.size());
    if (added) {
      art_index.push_back({static_cast<std::int32_t>(art_index.size() + 1), static_cast<std::uint32_t>(track.art.size()),
                           static_cast<std::uint64_t>(album_arts.size())});
      album_arts += track.art;
    }
    const ArtIndexRecord& art = art_index[it->second];
    record.set_art(art.key, art.size);
  }
  file_index.push_back(record);
}

LibraryIndexFiles LibraryIndexBuilder::files() const {
  return {encode_file_name_list(file_names), encode_file_index(file_index), inf_props_n_tags,
          encode_art_index(art_index), album_arts};
}
