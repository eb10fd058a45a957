#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "library/directory_iterator.h"
#include "library/file_ops.h"
#include "library/file_view.h"
#include "library/known_folders.h"
#include "library/safe_rewrite_file.h"
#include "library/xfile.h"
#include "support/temp_folder.h"

TEST(XFile, WriteNullBuffer) {
  TempFolder tmp;
  XFile f(tmp.file(L"n.bin"));
  f.open(GENERIC_WRITE, CREATE_ALWAYS, true);
  ASSERT_TRUE(f.is_open());
  EXPECT_TRUE(f.write(nullptr, 0, XFile::kFromStart));
  EXPECT_FALSE(f.write(nullptr, 5, XFile::kFromStart));
}

TEST(XFile, PositionModes) {
  TempFolder tmp;
  XFile f(tmp.file(L"p.bin"));
  f.open(GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, true);
  ASSERT_TRUE(f.write("abcdef", 6, XFile::kFromStart));
  ASSERT_TRUE(f.write("XY", 2, XFile::kFromStart));
  ASSERT_TRUE(f.write("Z", 1, XFile::kAtCurrent));
  ASSERT_TRUE(f.write("!", 1, XFile::kAppend));
  f.close();
  EXPECT_EQ(read_file_bytes(tmp.file(L"p.bin")), "XYZdef!");
}

TEST(XFile, PathsFromTheLongPathLimitOpen) {
  TempFolder tmp;
  std::wstring folder = tmp.path();
  while (folder.size() < 280) folder += L"deep-folder-name\\";
  ASSERT_TRUE(create_directory_tree(folder));
  const std::wstring path = folder + L"track.flac";
  XFile f(path);
  f.open(GENERIC_WRITE, CREATE_NEW, true);
  ASSERT_TRUE(f.is_open());
  ASSERT_TRUE(f.write("x", 1, XFile::kFromStart));
  f.close();
  EXPECT_TRUE(file_exists(path));
  EXPECT_EQ(read_file_bytes(path), "x");
  EXPECT_TRUE(delete_file(path));
  EXPECT_FALSE(file_exists(path));
}

TEST(LoadWholeFile, MissingExistingAndLocked) {
  TempFolder tmp;
  std::string bytes = "junk";
  EXPECT_TRUE(load_whole_file(tmp.file(L"missing.bin"), bytes));
  EXPECT_TRUE(bytes.empty());

  const auto path = tmp.write(L"a.bin", "hello");
  EXPECT_EQ(read_file_bytes(path), "hello");

  XFile locker(path);
  locker.open(GENERIC_READ, OPEN_EXISTING, false);  // no sharing: others cannot open it
  ASSERT_TRUE(locker.is_open());
  EXPECT_FALSE(load_whole_file(path, bytes));
}

TEST(XFile, TransfersBeyondTwoGigabytesInChunks) {
  TempFolder tmp;
  const std::uint64_t size = 0x80000000ull + 4096 + 3;
  auto* data = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(data, nullptr);
  data[0] = 1;
  data[0x7FFFFFFF] = 2;
  data[0x80000000] = 3;
  data[size - 1] = 4;
  XFile f(tmp.file(L"big.bin"));
  f.open(GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, true);
  ASSERT_TRUE(f.write(data, size, XFile::kFromStart));
  EXPECT_EQ(f.size(), size);
  std::fill(data, data + size, std::uint8_t{0});
  f.seek(0, FILE_BEGIN);
  EXPECT_EQ(f.read(data, size + 100), size);  // asks past the end: gets the file
  EXPECT_EQ(data[0], 1);
  EXPECT_EQ(data[0x7FFFFFFF], 2);
  EXPECT_EQ(data[0x80000000], 3);
  EXPECT_EQ(data[size - 1], 4);
  VirtualFree(data, 0, MEM_RELEASE);
}

TEST(LineReaders, Utf16ViewAndFile) {
  TempFolder tmp;
  const std::string utf16("\xFF\xFE" "a\0\r\0\n\0b\0\r\0c\0\n\0", 16);
  const auto path = tmp.write(L"u16.txt", utf16);
  std::vector<std::wstring> expected{L"a", L"b", L"c"};

  XFileView view(path);
  ASSERT_TRUE(view.map());
  std::vector<std::wstring> lines;
  std::wstring line;
  while (read_line_utf16(view, line)) lines.push_back(line);
  EXPECT_EQ(lines, expected);

  XFile f(path);
  f.open(GENERIC_READ, OPEN_EXISTING, true);
  lines.clear();
  while (read_line(f, line, true, false)) lines.push_back(line);
  EXPECT_EQ(lines, expected);
}

TEST(LineReaders, ByteModeUtf8AndAnsi) {
  TempFolder tmp;
  const auto path = tmp.write(L"u8.txt", "\xEF\xBB\xBF" "caf\xC3\xA9\rx\r\n");
  XFile f(path);
  f.open(GENERIC_READ, OPEN_EXISTING, true);
  std::wstring line;
  ASSERT_TRUE(read_line(f, line, false, true));
  EXPECT_EQ(line, L"caf\xE9");
  ASSERT_TRUE(read_line(f, line, false, true));
  EXPECT_EQ(line, L"x");
  EXPECT_FALSE(read_line(f, line, false, true));

  const auto ansi = tmp.write(L"ansi.txt", "caf\xE9\n");
  XFile g(ansi);
  g.open(GENERIC_READ, OPEN_EXISTING, true);
  ASSERT_TRUE(read_line(g, line, false, false));
  EXPECT_EQ(line, L"caf\xE9");  // the test prefix's ANSI code page is 1252
}

TEST(XFileView, EmptyFileMapsWithNoView) {
  TempFolder tmp;
  XFileView view(tmp.write(L"empty.bin", ""));
  ASSERT_TRUE(view.map());
  EXPECT_EQ(view.length(), 0u);
  std::wstring line;
  EXPECT_FALSE(read_line_utf16(view, line));
  XFileView missing(tmp.file(L"none.bin"));
  EXPECT_FALSE(missing.map());
}

TEST(SafeRewrite, ReplacesTheFileOnlyWhenCommitted) {
  TempFolder tmp;
  const auto path = tmp.write(L"cache.bin", "old");
  {
    XSafeRewriteFile w;
    ASSERT_TRUE(w.begin(path));
    ASSERT_TRUE(w.file.write("half", 4, XFile::kAtCurrent));
  }  // not committed
  EXPECT_EQ(read_file_bytes(path), "old");
  EXPECT_EQ(count_folder_entries(tmp.path()), 1u);

  XSafeRewriteFile w;
  ASSERT_TRUE(w.begin(path));
  EXPECT_NE(w.file.path.find(L".rewrite.tmp"), std::wstring::npos);
  ASSERT_TRUE(w.file.write("new", 3, XFile::kAtCurrent));
  w.commit = true;
  EXPECT_TRUE(w.end());
  EXPECT_EQ(read_file_bytes(path), "new");
  EXPECT_EQ(count_folder_entries(tmp.path()), 1u);
}

TEST(SafeRewrite, GivesUpAfterTenFailedRenames) {
  TempFolder tmp;
  const auto path = tmp.write(L"cache.bin", "old");
  XFile holder(path);  // held without delete sharing: it cannot be replaced
  holder.open(GENERIC_READ, OPEN_EXISTING, true);
  ASSERT_TRUE(holder.is_open());

  XSafeRewriteFile w;
  ASSERT_TRUE(w.begin(path));
  ASSERT_TRUE(w.file.write("new", 3, XFile::kAtCurrent));
  w.commit = true;
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(w.end());
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 400u);  // nine pauses of 50 ms between ten attempts
  holder.close();
  EXPECT_EQ(read_file_bytes(path), "old");
  EXPECT_EQ(count_folder_entries(tmp.path()), 1u);
}

TEST(SafeRewrite, TemporaryNameLayout) {
  const unsigned char guid[16] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                  0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
  EXPECT_EQ(safe_rewrite_temp_name(L"C:\\d\\f.bin", guid, 0),
            L"C:\\d\\f.bin.0123456789ABCDEF0011223344556677.rewrite.tmp");
  EXPECT_EQ(safe_rewrite_temp_name(L"C:\\d\\f.bin", guid, 7),
            L"C:\\d\\f.bin.0123456789ABCDEF0011223344556677.7.rewrite.tmp");
}

TEST(FileOps, DeleteReadOnlyAndChangeAttributes) {
  TempFolder tmp;
  const auto path = tmp.write(L"ro.flac", "x");
  ASSERT_TRUE(change_attributes(path, FILE_ATTRIBUTE_READONLY, 0));
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(delete_file(path));
  EXPECT_FALSE(file_exists(path));
  EXPECT_FALSE(change_attributes(path, 0, 0));
  EXPECT_FALSE(delete_file(path));
}

TEST(FileOps, ExistsForFilesFoldersAndDrives) {
  TempFolder tmp;
  EXPECT_FALSE(file_exists(L""));
  EXPECT_TRUE(file_exists(tmp.path()));  // trailing backslash stripped
  EXPECT_TRUE(file_exists(L"C:"));
  EXPECT_TRUE(file_exists(L"C:\\"));
  EXPECT_FALSE(file_exists(tmp.file(L"nothing")));
}

TEST(FileOps, CreateDirectoryTreeAndMove) {
  TempFolder tmp;
  const std::wstring deep = tmp.file(L"a\\b\\c");
  EXPECT_TRUE(create_directory_tree(deep));
  EXPECT_TRUE(create_directory_tree(deep + L"\\"));  // existing is fine
  EXPECT_TRUE(file_exists(deep));
  const auto file = tmp.write(L"f.txt", "1");
  EXPECT_FALSE(create_directory_tree(file + L"\\sub"));  // a file is in the way
  const auto other = tmp.write(L"g.txt", "2");
  EXPECT_TRUE(move_file(file, other));
  EXPECT_EQ(read_file_bytes(other), "1");
  EXPECT_FALSE(move_file(L"", other));
}

TEST(DirectoryIterator, SkipsDotsAndFiltersFolders) {
  TempFolder tmp;
  create_directory_tree(tmp.file(L"sub1"));
  create_directory_tree(tmp.file(L"sub2"));
  tmp.write(L"x.flac", "");
  std::set<std::wstring> all, dirs;
  XDirectoryIterator a(tmp.path() + L"*", false);
  while (a.next()) all.insert(a.full_path());
  XDirectoryIterator d(tmp.path() + L"*", true);
  while (d.next()) dirs.insert(d.full_path());
  EXPECT_EQ(all, (std::set<std::wstring>{tmp.file(L"sub1"), tmp.file(L"sub2"), tmp.file(L"x.flac")}));
  EXPECT_EQ(dirs, (std::set<std::wstring>{tmp.file(L"sub1"), tmp.file(L"sub2")}));
  XDirectoryIterator none(tmp.path() + L"nothing\\*", false);
  EXPECT_FALSE(none.next());
}

TEST(KnownFolders, PlatformAnswersAndOverride) {
  const std::wstring appdata = get_folder(kCsidlAppData);
  ASSERT_FALSE(appdata.empty());
  EXPECT_EQ(appdata.back(), L'\\');
  EXPECT_NE(appdata, L"C:\\Error\\");
  EXPECT_EQ(get_folder(kCsidlWindows).back(), L'\\');
  set_appdata_folder_override(L"D:\\private");
  EXPECT_EQ(get_folder(kCsidlAppData), L"D:\\private\\");
  wchar_t inherited[MAX_PATH] = {};  // what a child process (the scanner) finds
  GetEnvironmentVariableW(L"TALLYDISC_APPDATA", inherited, MAX_PATH);
  EXPECT_STREQ(inherited, L"D:\\private\\");
  set_appdata_folder_override(L"");
  EXPECT_EQ(get_folder(kCsidlAppData), appdata);
  EXPECT_EQ(GetEnvironmentVariableW(L"TALLYDISC_APPDATA", inherited, MAX_PATH), 0u);
}
