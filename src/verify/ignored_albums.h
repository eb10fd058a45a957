// The albums the user excluded from checking, by grouping key, kept in
// TD-IgnoredAlbums.txt (format in cache_lines.h).
#pragma once
#include <string>
#include <vector>

// Every non-empty line is one key. A missing file gives no keys.
std::vector<std::wstring> read_ignored_albums(const std::wstring& path);
// Replaces the file with these keys; on failure the previous file stays.
bool write_ignored_albums(const std::wstring& path, const std::vector<std::wstring>& keys);
