// Waiting on a socket: every blocking step of the transport goes through
// here. The wait runs in select slices of 0.1 s while the thread has an
// abort signal, so a cancel from another thread is noticed within a slice.
#pragma once
#include <winsock2.h>

namespace Kx {

enum socketCondition : unsigned {
  kSocketReadable = 1u << 0,
  kSocketWritable = 1u << 1,
  kSocketExceptional = 1u << 2,
};

// Waits until one of the `watch` conditions holds; returns those that do,
// or 0 when `timeoutSeconds` (negative: no limit) passed first. Throws
// user_abort when the thread's signal is set, network_error when select fails.
unsigned waitOnSocket(SOCKET socket, unsigned watch, double timeoutSeconds);

}  // namespace Kx
