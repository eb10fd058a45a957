// Reading the rip database's records into the per-track entry lists of an
// album.
//
// Record layout (the body of a record file; little-endian): zero or more
// chunks, one per pressing, back to back until the end of the file:
//   chunk header, 13 bytes:
//     0     uint8   n, the number of track records that follow
//     1-12          the pressing's identifiers (not interpreted)
//   n track records of 9 bytes, for tracks 1..n in order:
//     0     uint8   confidence
//     1-4   uint32  track checksum
//     5-8   uint32  offset checksum (of sector 450; 0 when absent)
// A chunk may list more tracks than the album has (the surplus is read and
// ignored) or fewer (the missing tracks get nothing from it). Reading ends
// quietly at the first header or track record that is cut short.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "verify/track_check.h"

inline constexpr std::size_t kRecordChunkHeaderSize = 13;
inline constexpr std::size_t kRecordTrackSize = 9;

// Reads up to `count` bytes into `buffer`; returns how many it read.
using RecordByteSource = std::function<std::size_t(void* buffer, std::size_t count)>;

// Adds the entries of one record file after another to the tracks of an
// album. The same (checksum, offset checksum) pair of a track seen again, in
// any file or chunk, keeps its first entry and raises its confidence to the
// greater of the two; a new pair is appended with the index of its file.
class RecordEntryReader {
 public:
  explicit RecordEntryReader(std::vector<TDTrackCheck>& tracks);

  void read(const RecordByteSource& source, std::int32_t source_index);
  void read(const std::uint8_t* data, std::size_t size, std::int32_t source_index);

 private:
  void add(std::size_t track, const std::uint8_t* record, std::int32_t source_index);

  std::vector<TDTrackCheck>& tracks_;
  // Per track: (checksum, offset checksum) -> position in its entry list,
  // so that a long record file is read in linear time.
  std::vector<std::unordered_map<std::uint64_t, std::size_t>> known_;
};
