#include "library/directory_iterator.h"

#include <cwchar>

#include "library/path_rules.h"

XDirectoryIterator::XDirectoryIterator(const std::wstring& pattern, bool directories_only)
    : folder_(directory_part(pattern)), directories_only_(directories_only) {
  find_.reset(FindFirstFileW(make_long_path(pattern, kLongPathLimitDirectory).c_str(), &data_));
  first_pending_ = find_.valid();
}

bool XDirectoryIterator::accept() const {
  if (std::wcscmp(data_.cFileName, L".") == 0 || std::wcscmp(data_.cFileName, L"..") == 0) return false;
  return !directories_only_ || is_directory();
}

bool XDirectoryIterator::next() {
  while (find_) {
    if (first_pending_) {
      first_pending_ = false;
    } else if (!FindNextFileW(find_.get(), &data_)) {
      find_.reset();
      return false;
    }
    if (accept()) {
      full_path_ = folder_ + data_.cFileName;
      return true;
    }
  }
  return false;
}
