#include "library/file_ops.h"

#include <vector>

#include "library/path_rules.h"
#include "library/win_handles.h"

namespace {
std::wstring dir_long(const std::wstring& path) { return make_long_path(path, kLongPathLimitDirectory); }

// Length of the part of a long-form path that is never split: the "\\?\"
// prefix with its drive ("\\?\C:\"), a drive ("C:\"), or a UNC share.
std::size_t root_length(const std::wstring& p) {
  std::size_t start = 0;
  if (p.rfind(L"\\\\?\\UNC\\", 0) == 0) start = 8;
  else if (p.rfind(L"\\\\?\\", 0) == 0) start = 4;
  if (start != 8 && p.size() >= start + 2 && p[start + 1] == L':') {
    return (p.size() > start + 2 && p[start + 2] == L'\\') ? start + 3 : start + 2;
  }
  if (start == 8 || p.rfind(L"\\\\", 0) == 0) {  // \\server\share\ stays whole
    std::size_t pos = start == 8 ? 8 : 2;
    for (int parts = 0; parts < 2 && pos < p.size(); ++parts) {
      const auto slash = p.find(L'\\', pos);
      pos = slash == std::wstring::npos ? p.size() : slash + 1;
    }
    return pos;
  }
  return start;
}
}  // namespace

bool file_exists(const std::wstring& path) {
  if (path.empty()) return false;
  std::wstring trimmed = path;
  while (!trimmed.empty() && trimmed.back() == L'\\') trimmed.pop_back();
  if (!trimmed.empty()) {
    WIN32_FIND_DATAW data;
    XFindHandle find(FindFirstFileW(dir_long(trimmed).c_str(), &data));
    if (find) return true;
  }
  const std::wstring root = add_trailing_backslash(trimmed);
  return GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR;
}

bool create_directory_tree(const std::wstring& path) {
  std::wstring full = dir_long(path);
  while (full.size() > 1 && full.back() == L'\\') full.pop_back();
  const std::size_t root = root_length(full);
  std::vector<std::size_t> ends;  // end of each component below the root
  for (std::size_t i = root; i <= full.size(); ++i) {
    if (i == full.size() || full[i] == L'\\') {
      if (i > root && full[i - 1] != L'\\') ends.push_back(i);
    }
  }
  for (std::size_t end : ends) {
    const std::wstring part = full.substr(0, end);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return true;
}

bool delete_file(const std::wstring& path) {
  if (path.empty()) return false;
  const std::wstring p = dir_long(path);
  if (DeleteFileW(p.c_str())) return true;
  if (GetLastError() != ERROR_ACCESS_DENIED) return false;
  const DWORD attributes = GetFileAttributesW(p.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  SetFileAttributesW(p.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return DeleteFileW(p.c_str()) != 0;
}

bool move_file(const std::wstring& from, const std::wstring& to) {
  if (from.empty() || to.empty()) return false;
  return MoveFileExW(dir_long(from).c_str(), dir_long(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool change_attributes(const std::wstring& path, DWORD set_bits, DWORD clear_bits) {
  if (path.empty()) return false;
  const std::wstring p = dir_long(path);
  WIN32_FIND_DATAW data;
  {
    XFindHandle find(FindFirstFileW(p.c_str(), &data));
    if (!find) return false;
  }
  return SetFileAttributesW(p.c_str(), (data.dwFileAttributes | set_bits) & ~clear_bits) != 0;
}
