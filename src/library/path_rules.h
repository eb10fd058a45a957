// Path text rules shared by every file access: the long-path prefix and the
// split of a path into folder, name and extension. Pure text, no file system.
#pragma once
#include <cstddef>
#include <string>

// Limits at which a path gets the "\\?\" prefix: file opens, and every
// directory, attribute, delete, rename and search call.
inline constexpr std::size_t kLongPathLimitFile = 260;
inline constexpr std::size_t kLongPathLimitDirectory = 248;

// Paths starting with two backslashes (UNC, or already prefixed) and paths
// shorter than `limit` are returned unchanged; others get "\\?\" in front.
std::wstring make_long_path(const std::wstring& path, std::size_t limit);

std::wstring add_trailing_backslash(const std::wstring& path);

// Text after the last '\'.
std::wstring file_part(const std::wstring& path);
// Text up to and including the last '\' (empty when there is none).
std::wstring directory_part(const std::wstring& path);
// From the last '.' of the file part to the end, dot included; "." when the
// file part has no dot. Extensions are compared with ASCII-only case folding.
std::wstring extension(const std::wstring& path);
