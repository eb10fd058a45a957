#include "library/number_text.h"

#include <limits>

namespace {
std::size_t skip_spaces(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  return i;
}

bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }
}  // namespace

std::int64_t parse_decimal_signed(std::wstring_view text) {
  std::size_t i = skip_spaces(text);
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  // Accumulated as a magnitude so that the most negative value still fits.
  constexpr std::uint64_t kMaxPositive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  const std::uint64_t limit = negative ? kMaxPositive + 1 : kMaxPositive;
  std::uint64_t magnitude = 0;
  for (; i < text.size() && is_digit(text[i]); ++i) {
    const auto digit = static_cast<std::uint64_t>(text[i] - L'0');
    if (magnitude > (limit - digit) / 10) {
      magnitude = limit;
      break;
    }
    magnitude = magnitude * 10 + digit;
  }
  if (!negative) return static_cast<std::int64_t>(magnitude);
  if (magnitude == kMaxPositive + 1) return std::numeric_limits<std::int64_t>::min();
  return -static_cast<std::int64_t>(magnitude);
}

std::uint64_t parse_decimal_unsigned(std::wstring_view text) {
  std::size_t i = skip_spaces(text);
  if (i < text.size() && text[i] == L'+') ++i;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (; i < text.size() && is_digit(text[i]); ++i) {
    const auto digit = static_cast<std::uint64_t>(text[i] - L'0');
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

std::uint32_t parse_hex32(std::wstring_view text) {
  std::uint32_t value = 0;
  for (wchar_t c : text) {
    std::uint32_t digit = 0;
    if (is_digit(c)) digit = static_cast<std::uint32_t>(c - L'0');
    else if (c >= L'a' && c <= L'f') digit = static_cast<std::uint32_t>(c - L'a' + 10);
    else if (c >= L'A' && c <= L'F') digit = static_cast<std::uint32_t>(c - L'A' + 10);
    else break;
    value = (value << 4) | digit;
  }
  return value;
}
