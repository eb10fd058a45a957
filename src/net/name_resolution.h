// Name resolution for the TCP stream, with bounded retries while the
// resolver answers "try again".
#pragma once
#include <winsock2.h>

#include <string>
#include <vector>

namespace Kx {

struct resolvedAddress {
  int family = 0;
  int type = 0;
  int protocol = 0;
  std::vector<unsigned char> bytes;  // the sockaddr as returned
};

// Every entry of the resolver's answer, in its order. `timeoutSeconds` bounds
// the retries: 0 gives up at once, negative retries without limit. Throws
// network_error_timeout when the retries ran out, network_error for an empty
// answer or any other resolver error, user_abort when the thread's signal is set.
std::vector<resolvedAddress> resolveHost(const std::string& host, const std::string& service, double timeoutSeconds);

}  // namespace Kx
