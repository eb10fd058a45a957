// group_albums: one walk through the file index that decides for every
// track whether it takes part and puts it into its album, and the ordered
// track lists that the checksum stage asks for. Pure: the caller reads and
// maps the index files and supplies the cover decoder.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/album_records.h"
#include "library/index_tables.h"

struct GroupingOptions {
  // Setting AlbumDefinedBy: 0 puts the file's folder into the album key.
  std::uint32_t album_defined_by = 0;
  // Setting TD-SkipNonCDQualityReport: non-zero leaves out tracks that are
  // not lossless CD quality.
  std::uint32_t skip_non_cd_quality = 0;
  // Edge of the square box cover thumbnails are fitted into.
  int thumbnail_size = 0;
};

struct GroupingInput {
  const FileNameTable& file_names;
  const std::vector<FileIndexRecord>& file_index;
  const std::vector<ArtIndexRecord>& art_index;
  ByteView inf_props_n_tags;
  ByteView album_arts;
};

struct GroupingHooks {
  // True stops the walk; the albums made so far stay.
  std::function<bool()> cancelled;
  // Percentage of the records walked.
  std::function<void(int)> progress;
  // Decodes an album's encoded cover into a square box of that edge; none
  // when the bytes are no picture. Absent: albums get no cover.
  std::function<std::shared_ptr<const XPlatformImage>(ByteView, int)> decode_cover;
};

// Fills `tables` from empty. Throws exception_index_corrupted when a track
// entry or a cover lies outside its file.
void group_albums(const GroupingInput& input, const GroupingOptions& options, const GroupingHooks& hooks,
                  AlbumGroupingTables& tables);

// The album's tracks numbered 1..N (N = its number of track records), each
// the first record with that number; false when a number is missing.
bool build_track_list_by_number(const AlbumRecord& album, const FileNameTable& file_names,
                                std::vector<VerificationTrackEntry>& entries);

// One entry per expected length (decimal texts) in that order, numbered
// 1, 2, ...: the first record with that number and length, else the first
// with that length, else the first with that number. When the leading
// number of `count_text` exceeds the lengths, the list is padded with a
// length no track has. False when some entry found no file (it keeps its
// length and number, file id 0, no path, stamp 0, cache stamp -1).
bool build_track_list_by_toc(const AlbumRecord& album, const FileNameTable& file_names,
                             std::wstring_view count_text, const std::vector<std::wstring>& lengths,
                             std::vector<VerificationTrackEntry>& entries);
