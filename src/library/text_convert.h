// Conversions between UTF-8 and the system's wide text. Wide text holds
// UTF-16 code units (on Windows, where the product runs, wchar_t is 16 bits;
// natively each wchar_t simply holds one unit).
#pragma once
#include <string>
#include <string_view>

// Invalid UTF-8 sequences become U+FFFD each.
std::wstring utf8_to_wide(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string wide_to_utf8(std::wstring_view text);

// ASCII-only case folding, the rule for tag names, extensions and folders.
wchar_t ascii_lower(wchar_t c);
bool equals_ascii_nocase(std::wstring_view a, std::wstring_view b);
std::wstring ascii_lowercase(std::wstring_view text);
