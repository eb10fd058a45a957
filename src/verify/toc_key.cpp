#include "verify/toc_key.h"

#include <cwchar>

std::wstring toc_key(const std::vector<std::int32_t>& lengths) {
  std::uint32_t sum = 0;
  std::uint32_t squares = 0;
  for (std::int32_t length : lengths) {
    const auto l = static_cast<std::uint32_t>(length);
    sum += l;
    squares += l * l;
  }
  wchar_t hex[9];
  std::swprintf(hex, 9, L"%08X", static_cast<unsigned>(sum + (squares << 15)));
  std::wstring key = hex;
  for (std::int32_t length : lengths) key += L";" + std::to_wstring(length);
  return key;
}
