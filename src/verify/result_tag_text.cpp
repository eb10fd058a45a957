#include "verify/result_tag_text.h"

#include <cwchar>

#include "library/number_text.h"

namespace {
constexpr std::wstring_view kVerifiedPrefix = L"Tallydisc Verified Confidence ";
// The checksum inside the brackets: 8 upper-case hexadecimal digits.
constexpr std::size_t kChecksumDigits = 8;

std::wstring_view trim_spaces(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

bool is_upper_hex(std::wstring_view text) {
  for (wchar_t c : text)
    if (!((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'))) return false;
  return true;
}
}  // namespace

std::wstring result_tag_text(std::wstring_view track_text) {
  const std::wstring_view text = trim_spaces(track_text);
  if (text.substr(0, kVerifiedPrefix.size()) == kVerifiedPrefix) {
    const std::size_t close = text.rfind(L']');
    const std::size_t open = text.rfind(L'[');
    if (close != std::wstring_view::npos && open != std::wstring_view::npos && open < close &&
        close - open - 1 >= kChecksumDigits) {
      const std::wstring_view checksum = text.substr(close - kChecksumDigits, kChecksumDigits);
      if (is_upper_hex(checksum)) {
        const auto confidence = static_cast<int>(parse_decimal_signed(text.substr(kVerifiedPrefix.size())));
        wchar_t tag[96];
        std::swprintf(tag, 96, L"Tallydisc: Accurate (confidence %i)   [%ls]", confidence,
                      std::wstring(checksum).c_str());
        return tag;
      }
    }
  }
  return std::wstring(text);
}

std::wstring disc_id_tag_text(std::wstring_view disc_id, std::int32_t track_number) {
  return std::wstring(disc_id) + L"-" + std::to_wstring(track_number);
}
