// Directory, attribute, delete and rename helpers. Every call uses the
// long-path form with the directory limit (248).
#pragma once
#include <windows.h>

#include <string>

// False for an empty path. A bare drive ("D:" or "D:\") exists when the
// drive does, although a directory search finds nothing for it.
bool file_exists(const std::wstring& path);
// Creates every missing folder of `path`; an existing one is fine.
bool create_directory_tree(const std::wstring& path);
// Deletes a file; a read-only one gets its attribute cleared and one retry.
bool delete_file(const std::wstring& path);
// Renames, replacing an existing target. False when either path is empty.
bool move_file(const std::wstring& from, const std::wstring& to);
bool change_attributes(const std::wstring& path, DWORD set_bits, DWORD clear_bits);
