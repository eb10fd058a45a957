#include "net/server_address.h"

namespace {
constexpr std::uint32_t kHighestPort = 65535;
constexpr std::size_t kMaxPortDigits = 5;

// The port of a ":port" suffix, or 0 when `text` is not one.
std::uint32_t port_number(std::wstring_view text) {
  if (text.empty() || text.size() > kMaxPortDigits) return 0;
  std::uint32_t port = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return 0;
    port = port * 10 + static_cast<std::uint32_t>(c - L'0');
  }
  return port <= kHighestPort ? port : 0;
}
}  // namespace

ServerAddress server_address_or_default(std::wstring_view setting_text, std::wstring_view built_in_host,
                                        std::uint32_t default_port) {
  if (setting_text.empty()) return {std::wstring(built_in_host), default_port};
  const std::size_t colon = setting_text.rfind(L':');
  if (colon != std::wstring_view::npos && colon > 0) {
    const std::uint32_t port = port_number(setting_text.substr(colon + 1));
    if (port != 0) return {std::wstring(setting_text.substr(0, colon)), port};
  }
  return {std::wstring(setting_text), default_port};
}
