// The library index files in the data folder: reading the three tables,
// mapping the two large files, and writing a whole index. `folder` is the
// data folder, with or without a trailing backslash.
//
// The scanner may rewrite these files while they are read: opens are
// retried (20 attempts, 20 ms apart) with read and write sharing.
#pragma once
#include <string>
#include <vector>

#include "library/file_view.h"
#include "library/index_tables.h"
#include "library/index_writer.h"

inline constexpr wchar_t kFileNameListFile[] = L"FileNameList.bin";
inline constexpr wchar_t kFileIndexFile[] = L"FileIndex.bin";
inline constexpr wchar_t kInfPropsNTagsFile[] = L"InfPropsNTags.bin";
inline constexpr wchar_t kAlbumArtsIdxFile[] = L"AlbumArtsIdx.bin";
inline constexpr wchar_t kAlbumArtsFile[] = L"AlbumArts.bin";

// Each is false only when the file exists and cannot be opened or read; a
// missing file is an empty table.
bool read_file_name_table(const std::wstring& folder, FileNameTable& table);
bool read_file_index(const std::wstring& folder, std::vector<FileIndexRecord>& records);
bool read_art_index(const std::wstring& folder, std::vector<ArtIndexRecord>& records);

// The three tables together; the art index is read only after the file
// index was read.
struct LibraryIndexTables {
  FileNameTable file_names;
  std::vector<FileIndexRecord> file_index;
  std::vector<ArtIndexRecord> art_index;
};
bool read_library_index(const std::wstring& folder, LibraryIndexTables& tables);

// AlbumArts.bin and InfPropsNTags.bin mapped read-only for one run.
class MappedIndexFiles {
 public:
  // Throws exception_index_corrupted when either file is missing, cannot be
  // opened or cannot be mapped. An empty file maps as an empty view.
  explicit MappedIndexFiles(const std::wstring& folder);
  ByteView album_arts() const { return {album_arts_.data(), album_arts_.length()}; }
  ByteView inf_props_n_tags() const { return {inf_props_n_tags_.data(), inf_props_n_tags_.length()}; }

 private:
  XFileView album_arts_;
  XFileView inf_props_n_tags_;
};

// Writes the five files (replacing them) into `folder`, which must exist.
bool write_index_files(const std::wstring& folder, const LibraryIndexFiles& files);
