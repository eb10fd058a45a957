#include "net/net_errors.h"

#include <cstdio>

namespace Kx {

network_error network_error::fromSocketError(int code) {
  return network_error("network error (" + std::to_string(code) + ")", code);
}

exception_network_authentication exception_network_authentication::fromStatus(std::uint32_t status,
                                                                              const std::string& systemText) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(status));
  std::string text = "Network authentication error";
  if (!systemText.empty()) text += ": " + systemText;
  text += std::string(" (") + hex + ")";
  return exception_network_authentication(text, status);
}

exception_network_authentication exception_network_authentication::fromLastError(std::uint32_t code) {
  return exception_network_authentication(
      "Network authentication error (win32:" + std::to_string(code) + ")", code);
}

}  // namespace Kx
