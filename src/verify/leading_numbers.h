// Readers of the number at the start of a text, as the cache files and the
// result tags store them. Leading blanks are skipped; reading stops at the
// first character that is not part of the number; no digits give 0. Values
// wrap to the width of the result.
#pragma once
#include <cstdint>
#include <string_view>

// Optional sign, then decimal digits, modulo 2^64: a caller narrows the
// result to its own width (a stamp beyond the signed range reads back whole
// as unsigned).
std::int64_t read_leading_decimal(std::wstring_view text);
// Hexadecimal digits 0-9, A-F in either case.
std::uint32_t read_leading_hex(std::wstring_view text);
