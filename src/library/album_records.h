// The records that the album grouping builds at every verification run and
// that the verification engine completes: one album record per album, one
// track record per usable track, and the verification track entries that an
// album hands to the checksum stage.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// A decoded cover picture, shared and immutable (defined with the cover
// decoder; pure code only passes it along).
class XPlatformImage;

// One usable track of an album, in file-index order.
struct TrackRecord {
  // Position of the track's file in the file-name table.
  std::int32_t file_name_index = 0;
  // Sample count / 588, rounded down.
  std::int32_t length_sectors = 0;
  // From the "track" tag; 0 when it has none.
  std::int32_t track_number = 0;
  // From the "Sample Count" property.
  std::int64_t sample_count = 0;
  // 2 channels, 16 bits, 44100 Hz and a lossless "Audio Quality".
  bool lossless_cd_quality = false;
  // The previous result number read back from the "TallydiscResult" tag;
  // 0 when there is none.
  std::uint32_t tag_checksum = 0;
  // Bytes 13-20 of the file-index record.
  std::int64_t track_stamp = 0;
};

// One album: the fields filled by the grouping, then the eligibility flags
// and the results that the verification run adds.
struct AlbumRecord {
  // Display texts: the first line of the tags, trimmed; blanked when a later
  // track of the album disagrees.
  std::wstring artist;
  std::wstring title;
  // The grouping key: never empty, unique among the albums of one run.
  std::wstring key;
  // The cover thumbnail, or none.
  std::shared_ptr<const XPlatformImage> cover;
  // Disc identifier text read back from the "TallydiscDiscID" tag of the
  // first track that has one; empty if none.
  std::wstring disc_id;
  std::vector<TrackRecord> tracks;
  // The total of the "track" tag of the track that created the album
  // (the number after "/"); 0 = unknown.
  std::int32_t total_tracks = 0;

  // Eligibility, computed for every run.
  bool lossless = false;
  bool complete = false;
  bool lengths_match = false;
  bool tag_checksum_possible = false;
  bool checkable = false;

  // Results. The message is the album's verdict text; empty = no verdict yet.
  std::wstring message;
  // Per-track lines ("Track %d: %s") and, parallel to them, the file paths
  // (empty for a track without a file).
  std::vector<std::wstring> lines;
  std::vector<std::wstring> paths;
  // The track status of each line (track_status codes).
  std::vector<std::uint32_t> statuses;
  std::int32_t accurate_count = 0;
  std::int32_t inaccurate_count = 0;
  std::vector<std::int32_t> inaccurate_tracks;
  std::int32_t not_enough_info_count = 0;
  std::vector<std::int32_t> not_enough_info_tracks;
};

// One track of the ordered list that the checksum stage works on.
struct VerificationTrackEntry {
  // Expected length in CD sectors.
  std::int32_t length = 0;
  // 1-based.
  std::int32_t track_number = 0;
  // The file's id in the library index; 0 when no file was found.
  std::int32_t file_id = 0;
  // Empty when no file was found.
  std::wstring path;
  // The file's first time stamp from the file-name table.
  std::uint64_t file_stamp = 0;
  // The track stamp when the file is lossless CD quality, otherwise -1.
  std::int64_t cache_stamp = -1;
};

// The tables one grouping run fills, rebuilt from empty at every run.
struct AlbumGroupingTables {
  // In order of creation: the order in which each album's first track
  // stands in the file index.
  std::vector<AlbumRecord> albums;
  std::unordered_map<std::wstring, std::size_t> album_by_key;
  // Positions of the albums made by this run, in creation order.
  std::vector<std::size_t> new_albums;
  // Positions in the file-index table of the records marked corrupted.
  std::vector<std::size_t> corrupted_files;
};
