#include "support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "library/directory_iterator.h"
#include "library/file_ops.h"
#include "library/xfile.h"

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"tdtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++) + L"\\";
  if (!create_directory_tree(path_)) throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { remove_tree(path_); }

std::wstring TempFolder::write(const std::wstring& name, const std::string& bytes) const {
  XFile f(path_ + name);
  f.open(GENERIC_WRITE, CREATE_ALWAYS, true);
  if (!f.is_open() || !f.write(bytes.data(), bytes.size(), XFile::kFromStart))
    throw std::runtime_error("cannot write a test file");
  return path_ + name;
}

void remove_tree(const std::wstring& folder) {
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\') base += L'\\';
  XDirectoryIterator it(base + L"*", false);
  while (it.next()) {
    if (it.is_directory()) {
      remove_tree(it.full_path());
    } else {
      SetFileAttributesW(it.full_path().c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(it.full_path().c_str());
    }
  }
  RemoveDirectoryW(base.c_str());
}

std::string read_file_bytes(const std::wstring& path) {
  std::string bytes;
  EXPECT_TRUE(load_whole_file(path, bytes));
  return bytes;
}

std::size_t count_folder_entries(const std::wstring& folder) {
  std::size_t n = 0;
  XDirectoryIterator it(folder + L"*", false);
  while (it.next()) ++n;
  return n;
}
