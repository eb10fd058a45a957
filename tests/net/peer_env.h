// What run_with_peers.py hands a test program: the ports of the peers it
// started and the host paths of their logs.
#pragma once
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "library/xfile.h"
#include "support/paths.h"

inline std::string peerSetting(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) throw std::runtime_error(std::string("not run by run_with_peers.py: ") + name);
  return value;
}

// "http://127.0.0.1:<port of TD_TEST_<peer>_PORT>"
inline std::string peerUrl(const char* portVariable, const std::string& scheme = "http") {
  return scheme + "://127.0.0.1:" + peerSetting(portVariable);
}

// The bytes of a host file ("" when it does not exist).
inline std::string hostFileBytes(const std::string& hostPath) {
  std::string bytes;
  load_whole_file(host_to_windows_path(hostPath), bytes);
  return bytes;
}
