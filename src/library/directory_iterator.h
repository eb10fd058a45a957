// Iterates the entries matching a search pattern ("C:\Music\*"), skipping
// "." and "..". Each entry gives its find record and its full path.
#pragma once
#include <windows.h>

#include <string>

#include "library/win_handles.h"

class XDirectoryIterator {
 public:
  XDirectoryIterator(const std::wstring& pattern, bool directories_only);
  // Moves to the next entry; false when there is none.
  bool next();
  const WIN32_FIND_DATAW& data() const { return data_; }
  const std::wstring& full_path() const { return full_path_; }
  bool is_directory() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

 private:
  bool accept() const;
  std::wstring folder_;
  bool directories_only_;
  bool first_pending_ = false;
  XFindHandle find_;
  WIN32_FIND_DATAW data_{};
  std::wstring full_path_;
};
