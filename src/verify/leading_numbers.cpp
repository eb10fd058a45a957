#include "verify/leading_numbers.h"

namespace {
std::size_t skip_blanks(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  return i;
}

std::uint64_t digits_from(std::wstring_view text, std::size_t i) {
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
    value = value * 10 + static_cast<std::uint64_t>(text[i] - L'0');
  return value;
}
}  // namespace

std::int64_t read_leading_decimal(std::wstring_view text) {
  std::size_t i = skip_blanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  const std::uint64_t magnitude = digits_from(text, i);
  return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
}

std::uint32_t read_leading_hex(std::wstring_view text) {
  std::uint32_t value = 0;
  for (std::size_t i = skip_blanks(text); i < text.size(); ++i) {
    const wchar_t c = text[i];
    std::uint32_t digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = static_cast<std::uint32_t>(c - L'0');
    } else if (c >= L'A' && c <= L'F') {
      digit = static_cast<std::uint32_t>(c - L'A' + 10);
    } else if (c >= L'a' && c <= L'f') {
      digit = static_cast<std::uint32_t>(c - L'a' + 10);
    } else {
      break;
    }
    value = (value << 4) | digit;
  }
  return value;
}
