// What the verification engine knows about one track of an album: the
// database entries of its pressings, its place in the album and its file,
// and the status it ends with.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Status of one track after verification. The values are stored in the
// result cache and never change.
namespace track_status {
inline constexpr std::uint32_t kAccurate = 0;
inline constexpr std::uint32_t kInaccurate = 1;
inline constexpr std::uint32_t kNotEnoughInformation = 2;
inline constexpr std::uint32_t kError = 3;
inline constexpr std::uint32_t kNoFile = 4;
}  // namespace track_status

// One database entry for one track of one pressing.
struct TDTrackEntry {
  std::uint8_t confidence = 0;
  // Compared with both the TDv1 and the TDv2 sum of the track.
  std::uint32_t checksum = 0;
  // Checksum of sector 450 of the track, for the pressing-offset search;
  // 0 when the entry has none.
  std::uint32_t offset_checksum = 0;
  // Index of the record file that created the entry; not used for matching.
  std::int32_t source = 0;
  bool operator==(const TDTrackEntry&) const = default;
};

// One track as a verification worker sees it.
struct TDTrackCheck {
  // One entry per distinct (checksum, offset checksum) pair of the database
  // records, in the order the pairs first appear; matching follows it.
  std::vector<TDTrackEntry> entries;
  std::int32_t length = 0;        // in sectors of 588 samples
  std::int32_t track_number = 0;  // 1-based
  std::uint32_t file_id = 0;      // the file's id in the library index
  std::uint64_t file_stamp = 0;   // the file's first time stamp in the library index
  std::int64_t cache_stamp = 0;   // the track stamp for CD-quality files, else -1
  // Full path of the file; empty for a track without a file, which is never
  // stored in the result cache.
  std::wstring path;
};
