// The library index as this system sees it: the in-memory tables of
// FileNameList.bin, FileIndex.bin and AlbumArtsIdx.bin, and the reads that
// reach into the mapped InfPropsNTags.bin and AlbumArts.bin. Pure: the
// callers own the bytes (files read or mapped elsewhere).
//
// All numbers are little-endian.
//
// FileNameList.bin, UTF-16LE text, CR LF (a lone CR or LF is accepted, a
// U+FEFF at the start of a line is dropped):
//   first line: the header number, signed decimal
//   then per file: id{_; _}file stamp{_; _}second stamp{_; _}full path
//
// FileIndex.bin, packed 61-byte records:
//   0  int32  file id          12 uint8  state       13 int64  track stamp
//   21 int32  art key          25 uint32 art size    29 int64  entry offset
//   37 uint32 property length  41 uint32 tag length
//   (4-11 and 45-60 belong to the scanner and are carried unchanged)
//
// InfPropsNTags.bin at an entry offset: a 68-byte property header
// (2: uint16 channels, 4: uint32 sample rate, 14: uint16 bits per sample),
// then the property item block, then the tag item block.
//
// AlbumArtsIdx.bin, packed 16-byte records: int32 key, uint32 size,
// uint64 offset into AlbumArts.bin, where the encoded pictures lie.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/item_list.h"

using ByteView = std::span<const std::uint8_t>;

// The separator of the fields of a FileNameList.bin line.
inline constexpr std::wstring_view kFieldSeparator = L"{_; _}";

struct FileNameRecord {
  std::int32_t file_id = 0;
  std::uint64_t file_stamp = 0;
  std::uint64_t second_stamp = 0;
  std::wstring path;
  bool operator==(const FileNameRecord&) const = default;
};

struct FileNameTable {
  std::int64_t header_number = 0;
  std::vector<FileNameRecord> records;
};

struct FileIndexRecord {
  static constexpr std::size_t kSize = 61;
  std::array<std::uint8_t, kSize> bytes{};

  std::int32_t file_id() const;
  std::uint8_t state() const { return bytes[12]; }
  std::int64_t track_stamp() const;
  std::int32_t art_key() const;
  std::uint32_t art_size() const;
  std::int64_t entry_offset() const;
  std::uint32_t property_length() const;
  std::uint32_t tag_length() const;

  void set_file_id(std::int32_t v);
  void set_state(std::uint8_t v) { bytes[12] = v; }
  void set_track_stamp(std::int64_t v);
  void set_art(std::int32_t key, std::uint32_t size);
  void set_entry(std::int64_t offset, std::uint32_t property_length, std::uint32_t tag_length);
};

// A non-zero state without this bit marks a corrupted file; with it the
// record is skipped silently.
inline constexpr std::uint8_t kStateSkipQuietly = 2;

struct ArtIndexRecord {
  static constexpr std::size_t kSize = 16;
  std::int32_t key = 0;
  std::uint32_t size = 0;
  std::uint64_t offset = 0;
};

struct PropertyHeader {
  static constexpr std::size_t kSize = 68;
  std::array<std::uint8_t, kSize> bytes{};

  std::uint16_t channels() const;
  std::uint32_t sample_rate() const;
  std::uint16_t bits_per_sample() const;
  void set_format(std::uint16_t channels, std::uint32_t sample_rate, std::uint16_t bits_per_sample);
};

struct TrackEntry {
  PropertyHeader header;
  ItemList properties;
  ItemList tags;
};

// Parsers of whole files. A line with other than four fields is ignored; a
// truncated last record is dropped.
FileNameTable parse_file_name_list(ByteView bytes);
std::vector<FileIndexRecord> parse_file_index(ByteView bytes);
std::vector<ArtIndexRecord> parse_art_index(ByteView bytes);

// The track's entry in InfPropsNTags.bin. Throws exception_index_corrupted
// when a part lies outside `inf_props_n_tags`.
TrackEntry read_track_entry(ByteView inf_props_n_tags, const FileIndexRecord& record);

// Finds the cover pictures of file-index records. The art index is indexed
// once by key and size, so that a walk with one lookup per album stays
// linear in the size of the library.
class ArtFinder {
 public:
  ArtFinder(const std::vector<ArtIndexRecord>& art_index, ByteView album_arts);
  // The encoded picture of the first art record whose key and size both
  // match the record's; nothing when the record has no art or none matches.
  // Throws exception_index_corrupted when the range lies outside AlbumArts.bin.
  std::optional<ByteView> find(const FileIndexRecord& record) const;

 private:
  const std::vector<ArtIndexRecord>& art_index_;
  ByteView album_arts_;
  // (key, size) -> position of the first art record with both.
  std::unordered_map<std::uint64_t, std::size_t> first_by_key_and_size_;
};

// Finds file ids in a file-name table, starting near the previous hit, so
// that a walk through FileIndex.bin in the scanner's order costs nearly
// constant time per track. One finder serves one reader.
class FileNameFinder {
 public:
  explicit FileNameFinder(const std::vector<FileNameRecord>& records) : records_(records) {}
  // Position of the first record with this id, or -1.
  std::int64_t find(std::int32_t file_id);

 private:
  // How far before the previous hit a search starts.
  static constexpr std::size_t kLookBehind = 16;
  const std::vector<FileNameRecord>& records_;
  std::size_t last_hit_ = 0;
};
