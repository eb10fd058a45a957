#include "net/socket_wait.h"

#include <cmath>

#include "net/abort_signal.h"
#include "net/net_errors.h"

namespace Kx {

namespace {
// Slice while an abort signal is installed: the cancel latency.
constexpr double kAbortableSlice = 0.1;
// Slice when neither a signal nor a time-out bounds the wait.
constexpr double kUnboundedSlice = 3600.0;
}  // namespace

unsigned waitOnSocket(SOCKET socket, unsigned watch, double timeoutSeconds) {
  const double slice = currentAbortSignal() ? kAbortableSlice : timeoutSeconds >= 0 ? timeoutSeconds : kUnboundedSlice;
  const long long sliceMicros = std::llround(slice * 1000000.0);
  double waited = 0.0;
  for (;;) {
    checkAbort();
    fd_set readSet, writeSet, errorSet;
    FD_ZERO(&readSet);
    FD_ZERO(&writeSet);
    FD_ZERO(&errorSet);
    if (watch & kSocketReadable) FD_SET(socket, &readSet);
    if (watch & kSocketWritable) FD_SET(socket, &writeSet);
    if (watch & kSocketExceptional) FD_SET(socket, &errorSet);
    timeval limit;
    limit.tv_sec = static_cast<long>(sliceMicros / 1000000);
    limit.tv_usec = static_cast<long>(sliceMicros % 1000000);
    const int ready = select(0, &readSet, &writeSet, &errorSet, &limit);
    if (ready == SOCKET_ERROR) throw network_error();
    if (ready > 0) {
      unsigned result = 0;
      if (FD_ISSET(socket, &readSet)) result |= kSocketReadable;
      if (FD_ISSET(socket, &writeSet)) result |= kSocketWritable;
      if (FD_ISSET(socket, &errorSet)) result |= kSocketExceptional;
      if (result) return result;
    }
    waited += slice;
    if (timeoutSeconds >= 0 && waited >= timeoutSeconds) return 0;
  }
}

}  // namespace Kx
