#include "net/name_resolution.h"

#include <ws2tcpip.h>

#include <chrono>

#include "net/abort_signal.h"
#include "net/net_errors.h"

namespace Kx {

namespace {
// Pause between attempts while the resolver says "try again"; a short
// time-out gets the short pause so that it is not overshot by much.
constexpr double kRetryPause = 0.5;
constexpr double kShortRetryPause = 0.001;

struct addrinfoOwner {
  ADDRINFOA* list = nullptr;
  ~addrinfoOwner() {
    if (list) freeaddrinfo(list);
  }
};
}  // namespace

std::vector<resolvedAddress> resolveHost(const std::string& host, const std::string& service, double timeoutSeconds) {
  ADDRINFOA hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  std::chrono::steady_clock::time_point firstRetry;
  bool retrying = false;
  for (;;) {
    checkAbort();
    addrinfoOwner answer;
    const int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &answer.list);
    if (status == 0) {
      std::vector<resolvedAddress> addresses;
      for (const ADDRINFOA* entry = answer.list; entry; entry = entry->ai_next) {
        resolvedAddress address;
        address.family = entry->ai_family;
        address.type = entry->ai_socktype;
        address.protocol = entry->ai_protocol;
        const auto* bytes = reinterpret_cast<const unsigned char*>(entry->ai_addr);
        if (bytes) address.bytes.assign(bytes, bytes + entry->ai_addrlen);
        addresses.push_back(std::move(address));
      }
      if (addresses.empty()) throw network_error();
      return addresses;
    }
    if (status != WSATRY_AGAIN) throw network_error();
    if (timeoutSeconds == 0) throw network_error_timeout();
    const auto now = std::chrono::steady_clock::now();
    if (!retrying) {
      retrying = true;
      firstRetry = now;
    } else if (timeoutSeconds > 0 && std::chrono::duration<double>(now - firstRetry).count() > timeoutSeconds) {
      throw network_error_timeout();
    }
    abortableSleep(timeoutSeconds > 0 && timeoutSeconds <= 1.0 ? kShortRetryPause : kRetryPause);
  }
}

}  // namespace Kx
