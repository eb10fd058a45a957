// Writes the library index files byte for byte in the layouts given in
// index_tables.h: the form in which the library scanner hands its index to
// this system, and the form tests and benchmarks build libraries in.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "library/index_tables.h"
#include "library/item_list.h"

// FileNameList.bin: the header number line, then one line per record, every
// line ended by CR LF, no byte-order mark.
std::string encode_file_name_list(const FileNameTable& table);
std::string encode_file_index(const std::vector<FileIndexRecord>& records);
std::string encode_art_index(const std::vector<ArtIndexRecord>& records);

// One audio file as the scanner indexes it.
struct IndexedTrack {
  std::int32_t file_id = 0;
  std::uint64_t file_stamp = 0;
  std::uint64_t second_stamp = 0;
  std::wstring path;
  std::uint8_t state = 0;
  std::int64_t track_stamp = 0;
  std::uint16_t channels = 2;
  std::uint32_t sample_rate = 44100;
  std::uint16_t bits_per_sample = 16;
  ItemList properties;
  ItemList tags;
  // The encoded cover picture; empty for none.
  std::string art;
};

// The five files of one library index, in memory.
struct LibraryIndexFiles {
  std::string file_name_list;  // FileNameList.bin
  std::string file_index;      // FileIndex.bin
  std::string inf_props_n_tags;  // InfPropsNTags.bin
  std::string art_index;       // AlbumArtsIdx.bin
  std::string album_arts;      // AlbumArts.bin
};

// Collects tracks in the order they are added. Equal pictures are stored
// once and share one art record; art keys count from 1.
class LibraryIndexBuilder {
 public:
  void add(const IndexedTrack& track);
  LibraryIndexFiles files() const;

  FileNameTable file_names;
  std::vector<FileIndexRecord> file_index;
  std::vector<ArtIndexRecord> art_index;
  std::string inf_props_n_tags;
  std::string album_arts;

 private:
  std::map<std::string, std::size_t> art_by_bytes_;
};
