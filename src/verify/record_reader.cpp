#include "verify/record_reader.h"

#include <algorithm>
#include <cstring>

namespace {
std::uint32_t read_le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t pair_key(std::uint32_t checksum, std::uint32_t offset_checksum) {
  return static_cast<std::uint64_t>(checksum) << 32 | offset_checksum;
}
}  // namespace

RecordEntryReader::RecordEntryReader(std::vector<TDTrackCheck>& tracks) : tracks_(tracks), known_(tracks.size()) {
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    const auto& entries = tracks_[t].entries;
    for (std::size_t e = 0; e < entries.size(); ++e)
      known_[t].emplace(pair_key(entries[e].checksum, entries[e].offset_checksum), e);
  }
}

void RecordEntryReader::read(const RecordByteSource& source, std::int32_t source_index) {
  std::uint8_t header[kRecordChunkHeaderSize];
  std::uint8_t record[kRecordTrackSize];
  while (source(header, sizeof header) == sizeof header) {
    const std::size_t listed = header[0];
    for (std::size_t j = 0; j < listed; ++j) {
      if (source(record, sizeof record) != sizeof record) return;
      if (j < tracks_.size()) add(j, record, source_index);
    }
  }
}

void RecordEntryReader::read(const std::uint8_t* data, std::size_t size, std::int32_t source_index) {
  std::size_t position = 0;
  read(
      [&](void* buffer, std::size_t count) {
        const std::size_t n = std::min(count, size - position);
        if (n > 0) std::memcpy(buffer, data + position, n);
        position += n;
        return n;
      },
      source_index);
}

void RecordEntryReader::add(std::size_t track, const std::uint8_t* record, std::int32_t source_index) {
  TDTrackEntry entry;
  entry.confidence = record[0];
  entry.checksum = read_le32(record + 1);
  entry.offset_checksum = read_le32(record + 5);
  entry.source = source_index;
  auto& entries = tracks_[track].entries;
  const auto [it, added] = known_[track].emplace(pair_key(entry.checksum, entry.offset_checksum), entries.size());
  if (added)
    entries.push_back(entry);
  else
    entries[it->second].confidence = std::max(entries[it->second].confidence, entry.confidence);
}
