// File access shared by the two cache files and the ignored-albums file.
#pragma once
#include <functional>
#include <string>
#include <string_view>

// Calls `take` for every line of a UTF-16LE text file (lines end at CR LF,
// CR or LF; a U+FEFF starting a line is dropped). A missing or unreadable
// file has no lines.
void for_each_utf16_line(const std::wstring& path, const std::function<void(std::wstring_view)>& take);

// Writes the whole new file beside the old one and only then moves it over
// the old one, so that a crash or a failed write leaves the old file intact.
// True when the new file is in place.
bool rewrite_whole_file(const std::wstring& path, const std::string& bytes);
