#include "net/tls_failure.h"

#include <windows.h>

#include "library/text_convert.h"
#include "net/net_errors.h"

namespace Kx {

namespace {
// Longest system message taken into an error text, in characters.
constexpr DWORD kMaxMessageChars = 512;
// The peer closed in the middle of a record (SEC_E_INCOMPLETE_MESSAGE).
constexpr std::int32_t kIncompleteMessage = static_cast<std::int32_t>(0x80090318);
}  // namespace

std::string systemMessageText(std::uint32_t code) {
  wchar_t text[kMaxMessageChars + 1] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, kMaxMessageChars, nullptr);
  std::wstring line(text, length);
  for (wchar_t& c : line) {
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  }
  while (!line.empty() && line.back() == L' ') line.pop_back();
  return wide_to_utf8(line);
}

void throwTlsFailure(std::int32_t status) {
  if (status == kIncompleteMessage) throw network_error();
  const auto code = static_cast<std::uint32_t>(status);
  throw exception_network_authentication::fromStatus(code, systemMessageText(code));
}

}  // namespace Kx
