#include "verify/ignored_albums.h"

#include <windows.h>

#include "library/xfile.h"
#include "verify/cache_file_io.h"
#include "verify/cache_lines.h"

std::vector<std::wstring> read_ignored_albums(const std::wstring& path) {
  std::vector<std::wstring> keys;
  XFile file(path);
  file.open(GENERIC_READ, OPEN_EXISTING, true);
  if (!file.is_open()) return keys;
  std::wstring line;
  while (read_line(file, line, false, true))
    if (!line.empty()) keys.push_back(line);
  return keys;
}

bool write_ignored_albums(const std::wstring& path, const std::vector<std::wstring>& keys) {
  return rewrite_whole_file(path, ignored_albums_file_bytes(keys));
}
