// Numbers read from the leading characters of a text, as the library index
// and the caches write them. Each reader stops at the first character that
// does not belong to the number; a text without digits reads as 0.
#pragma once
#include <cstdint>
#include <string_view>

// Leading spaces skipped, an optional "-" or "+", then decimal digits.
// Overflow saturates at the largest positive or negative 64-bit value.
std::int64_t parse_decimal_signed(std::wstring_view text);

// Leading spaces skipped, an optional "+", then decimal digits. Overflow
// gives 0xFFFFFFFFFFFFFFFF.
std::uint64_t parse_decimal_unsigned(std::wstring_view text);

// Hexadecimal digits of either case from the first character on, kept to
// their low 32 bits.
std::uint32_t parse_hex32(std::wstring_view text);
