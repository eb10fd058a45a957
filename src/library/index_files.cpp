#include "library/index_files.h"

#include <windows.h>

#include "library/exceptions.h"
#include "library/file_ops.h"
#include "library/path_rules.h"
#include "library/xfile.h"

namespace {
// Opens for the suite's other processes may fail while they write.
constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenRetryMs = 20;

std::wstring in_folder(const std::wstring& folder, const wchar_t* name) {
  return add_trailing_backslash(folder) + name;
}

// Opens an index file for reading. Missing: true with the file closed.
bool open_shared(XFile& file) {
  if (!file_exists(file.path)) return true;
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    file.open(GENERIC_READ, OPEN_EXISTING, true);
    if (file.is_open()) return true;
    Sleep(kOpenRetryMs);
  }
  return false;
}

// The whole content of a packed-record file; false when it exists and
// cannot be opened. A short read keeps what was read (its truncated last
// record is dropped by the parser).
bool read_records_file(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  XFile file(path);
  if (!open_shared(file)) return false;
  if (!file.is_open()) return true;
  bytes.resize(file.size());
  bytes.resize(file.read(bytes.data(), bytes.size()));
  return true;
}

ByteView view_of(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

void map_or_throw(XFileView& view, const std::wstring& path) {
  view.file.path = path;
  if (!view.map()) throw exception_index_corrupted();
}

bool write_file(const std::wstring& path, const std::string& bytes) {
  XFile file(path);
  file.open(GENERIC_WRITE, CREATE_ALWAYS, true);
  return file.is_open() && file.write(bytes.data(), bytes.size(), XFile::kFromStart);
}
}  // namespace

bool read_file_name_table(const std::wstring& folder, FileNameTable& table) {
  table = {};
  XFileView view(in_folder(folder, kFileNameListFile));
  if (!open_shared(view.file)) return false;
  if (!view.file.is_open()) return true;
  if (!view.map()) return false;
  table = parse_file_name_list({view.data(), view.length()});
  return true;
}

bool read_file_index(const std::wstring& folder, std::vector<FileIndexRecord>& records) {
  std::string bytes;
  const bool ok = read_records_file(in_folder(folder, kFileIndexFile), bytes);
  records = parse_file_index(view_of(bytes));
  return ok;
}

bool read_art_index(const std::wstring& folder, std::vector<ArtIndexRecord>& records) {
  std::string bytes;
  const bool ok = read_records_file(in_folder(folder, kAlbumArtsIdxFile), bytes);
  records = parse_art_index(view_of(bytes));
  return ok;
}

bool read_library_index(const std::wstring& folder, LibraryIndexTables& tables) {
  tables = {};
  return read_file_name_table(folder, tables.file_names) && read_file_index(folder, tables.file_index) &&
         read_art_index(folder, tables.art_index);
}

MappedIndexFiles::MappedIndexFiles(const std::wstring& folder) {
  map_or_throw(album_arts_, in_folder(folder, kAlbumArtsFile));
  map_or_throw(inf_props_n_tags_, in_folder(folder, kInfPropsNTagsFile));
}

bool write_index_files(const std::wstring& folder, const LibraryIndexFiles& files) {
  return write_file(in_folder(folder, kFileNameListFile), files.file_name_list) &&
         write_file(in_folder(folder, kFileIndexFile), files.file_index) &&
         write_file(in_folder(folder, kInfPropsNTagsFile), files.inf_props_n_tags) &&
         write_file(in_folder(folder, kAlbumArtsIdxFile), files.art_index) &&
         write_file(in_folder(folder, kAlbumArtsFile), files.album_arts);
}
