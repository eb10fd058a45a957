#include "library/index_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "library/exceptions.h"
#include "library/known_folders.h"
#include "library/watch_folder_list.h"
#include "library/xfile.h"
#include "support/temp_folder.h"

namespace {
std::string read_all(const std::wstring& path) {
  std::string bytes;
  EXPECT_TRUE(load_whole_file(path, bytes));
  return bytes;
}

std::string utf16(std::wstring_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

LibraryIndexBuilder two_tracks() {
  LibraryIndexBuilder builder;
  IndexedTrack t;
  t.file_id = 4;
  t.path = L"C:\\Music\\a.flac";
  t.tags.items = {{L"album", L"A", {}}};
  t.art = "picture";
  builder.add(t);
  t.file_id = 5;
  t.path = L"C:\\Music\\b.flac";
  builder.add(t);
  builder.file_names.header_number = 12;
  return builder;
}
}  // namespace

TEST(IndexFiles, WrittenFilesReadBackAndMap) {
  TempFolder tmp;
  const LibraryIndexFiles files = two_tracks().files();
  ASSERT_TRUE(write_index_files(tmp.path(), files));
  EXPECT_EQ(read_all(tmp.file(kFileIndexFile)), files.file_index);
  EXPECT_EQ(read_all(tmp.file(kAlbumArtsFile)), "picture");

  LibraryIndexTables tables;
  ASSERT_TRUE(read_library_index(tmp.path(), tables));
  EXPECT_EQ(tables.file_names.header_number, 12);
  ASSERT_EQ(tables.file_names.records.size(), 2u);
  EXPECT_EQ(tables.file_names.records[1].path, L"C:\\Music\\b.flac");
  ASSERT_EQ(tables.file_index.size(), 2u);
  ASSERT_EQ(tables.art_index.size(), 1u);

  MappedIndexFiles mapped(tmp.path());
  const auto art = ArtFinder(tables.art_index, mapped.album_arts()).find(tables.file_index[1]);
  ASSERT_TRUE(art);
  EXPECT_EQ(std::string(art->begin(), art->end()), "picture");
  EXPECT_EQ(read_track_entry(mapped.inf_props_n_tags(), tables.file_index[0]).tags.value_of(L"ALBUM"), L"A");
}

TEST(IndexFiles, MissingTablesAreAnEmptyLibrary) {
  TempFolder tmp;
  LibraryIndexTables tables;
  tables.file_index.resize(3);
  EXPECT_TRUE(read_library_index(tmp.path(), tables));
  EXPECT_TRUE(tables.file_names.records.empty());
  EXPECT_TRUE(tables.file_index.empty());
  EXPECT_TRUE(tables.art_index.empty());
}

TEST(IndexFiles, AnUnopenableFileIndexFailsAfterItsRetries) {
  TempFolder tmp;
  ASSERT_TRUE(write_index_files(tmp.path(), two_tracks().files()));
  XFile holder(tmp.file(kFileIndexFile));
  holder.open(GENERIC_READ, OPEN_EXISTING, false);
  ASSERT_TRUE(holder.is_open());
  std::vector<FileIndexRecord> records;
  EXPECT_FALSE(read_file_index(tmp.path(), records));
  LibraryIndexTables tables;
  EXPECT_FALSE(read_library_index(tmp.path(), tables));
}

TEST(IndexFiles, MappedFilesMustExistButMayBeEmpty) {
  TempFolder tmp;
  EXPECT_THROW(MappedIndexFiles{tmp.path()}, exception_index_corrupted);
  tmp.write(kAlbumArtsFile, "");
  EXPECT_THROW(MappedIndexFiles{tmp.path()}, exception_index_corrupted);
  tmp.write(kInfPropsNTagsFile, "");
  MappedIndexFiles mapped(tmp.path());
  EXPECT_EQ(mapped.album_arts().size(), 0u);
  EXPECT_EQ(mapped.inf_props_n_tags().size(), 0u);
}

TEST(WatchFolderList, AMissingListBecomesTheMusicFolderAndIsWritten) {
  TempFolder tmp;
  const std::wstring data = tmp.path() + L"new\\Auralith";
  WatchFolderList list(data);
  const std::wstring music = get_folder(kCsidlMyMusic);
  EXPECT_EQ(list.folders(), std::vector<std::wstring>{music});
  EXPECT_EQ(read_all(data + L"\\" + kWatchFolderListFile), utf16(music + L"\r\n"));
}

TEST(WatchFolderList, LoadReducesAndSaveWritesLines) {
  TempFolder tmp;
  tmp.write(kWatchFolderListFile,
            utf16(L"\xFEFF" L"D:\\Music\r\n\r\nd:\\MUSIC\\Rock\nE:\\X\\\rd:\\music\r\n"));
  WatchFolderList list(tmp.path());
  EXPECT_EQ(list.folders(), (std::vector<std::wstring>{L"D:\\Music", L"E:\\X\\", L"d:\\music"}));
  ASSERT_TRUE(list.save({L"F:\\One", L"G:\\Two"}));
  EXPECT_EQ(read_all(tmp.file(kWatchFolderListFile)), utf16(L"F:\\One\r\nG:\\Two\r\n"));
  EXPECT_EQ(list.load(), (std::vector<std::wstring>{L"F:\\One", L"G:\\Two"}));
}

TEST(OnlyUpdateTags, AppendsOneLinePerPath) {
  TempFolder tmp;
  ASSERT_TRUE(append_only_update_tags(tmp.path(), L"C:\\a.flac"));
  ASSERT_TRUE(append_only_update_tags(tmp.path(), L"C:\\\x00E9.mp3"));
  EXPECT_EQ(read_all(tmp.file(L"OnlyUpdateTagsInFileNames.bin")), utf16(L"C:\\a.flac\r\nC:\\\x00E9.mp3\r\n"));
}
