#include "net/net_stream.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <optional>

#include "net/abort_signal.h"
#include "net/net_errors.h"
#include "net/socket_wait.h"
#include "net/winsock_session.h"

namespace Kx {

namespace {
const winsockSession& g_winsock = winsockSession::instance();

// Largest piece handed to one send call.
constexpr std::size_t kSendPiece = 16384;
// Pause after a send that moved nothing, so that a full socket is not spun on.
constexpr double kFullSocketPause = 0.001;

[[noreturn]] void throwSocketError() { throw network_error::fromSocketError(WSAGetLastError()); }
}  // namespace

netStream::~netStream() { close(); }

void netStream::runHooks(int phase) {
  for (const socketHook& hook : hooks_) hook(socket_, phase);
}

void netStream::close() {
  if (!isOpen()) return;
  ::shutdown(handle(), SD_BOTH);
  closesocket(handle());
  socket_ = kClosed;
}

void netStream::shutdown(int how) {
  if (isOpen()) ::shutdown(handle(), how);
}

void netStream::connect(const std::string& host, const std::string& service, unsigned flags) {
  if (flags & kConnectTls) throw not_implemented();
  connectAddresses(resolveHost(host, service, timeout_));
}

void netStream::connectAddresses(const std::vector<resolvedAddress>& addresses) {
  std::optional<network_error_connect> lastFailure;
  for (const resolvedAddress& address : addresses) {
    if (address.family != AF_INET && address.family != AF_INET6) continue;
    checkAbort();
    try {
      connectAddress(address);
      return;
    } catch (const network_error& failure) {
      lastFailure.emplace(failure);
    }
  }
  if (lastFailure) throw *lastFailure;
  throw network_error_connect();
}

void netStream::connectAddress(const resolvedAddress& address) {
  close();
  const SOCKET s = ::socket(address.family, address.type, address.protocol);
  if (s == INVALID_SOCKET) throwSocketError();
  socket_ = static_cast<socketHandleValue>(s);
  u_long nonBlocking = 1;
  if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) throwSocketError();
  runHooks(kSocketHookCreated);
  if (address.bytes.empty()) throw network_error();
  if (::connect(s, reinterpret_cast<const sockaddr*>(address.bytes.data()), static_cast<int>(address.bytes.size())) != 0) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) throwSocketError();
    const unsigned ready = waitOnSocket(s, kSocketWritable | kSocketExceptional, timeout_);
    if (ready == 0) throw network_error_timeout();
    if ((ready & kSocketExceptional) || !(ready & kSocketWritable)) {
      // The pending connect failed; its reason is the socket's error.
      int error = 0;
      int size = sizeof error;
      if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 && error != 0)
        throw network_error::fromSocketError(error);
      throw network_error();
    }
  }
  runHooks(kSocketHookConnected);
}

unsigned netStream::waitOrThrow(unsigned watch, unsigned required) {
  const unsigned ready = waitOnSocket(handle(), watch, timeout_);
  if (ready == 0) throw network_error_timeout();
  if ((ready & kSocketExceptional) || !(ready & required)) throw network_error();
  return ready;
}

std::ptrdiff_t netStream::receiveRaw(void* buffer, std::size_t length) {
  const int want = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
  const int got = ::recv(handle(), static_cast<char*>(buffer), want, 0);
  if (got == SOCKET_ERROR) {
    if (WSAGetLastError() == WSAEWOULDBLOCK) return 0;
    throwSocketError();
  }
  return got;
}

void netStream::waitReadable() { waitOrThrow(kSocketReadable | kSocketExceptional, kSocketReadable); }

void netStream::waitWritable() { waitOrThrow(kSocketWritable | kSocketExceptional, kSocketWritable); }

std::size_t netStream::read(void* buffer, std::size_t length) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < length) {
    waitReadable();
    const std::ptrdiff_t got = receiveRaw(bytes + done, length - done);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::ptrdiff_t netStream::readSome(void* buffer, std::size_t length) {
  waitReadable();
  return receiveRaw(buffer, length);
}

std::size_t netStream::writeSome(const void* data, std::size_t length) {
  const int piece = static_cast<int>(std::min(length, kSendPiece));
  const int sent = ::send(handle(), static_cast<const char*>(data), piece, 0);
  if (sent == SOCKET_ERROR) {
    if (WSAGetLastError() == WSAEWOULDBLOCK) return 0;
    throwSocketError();
  }
  return static_cast<std::size_t>(sent);
}

void netStream::write(const void* data, std::size_t length) {
  const auto* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < length) {
    waitWritable();
    const std::size_t sent = writeSome(bytes + done, length - done);
    if (sent == 0) abortableSleep(kFullSocketPause);
    done += sent;
  }
}

std::size_t netStream::writeUntilReply(const void* data, std::size_t length) {
  if (length == 0) return 0;
  const auto* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < length) {
    const unsigned ready = waitOnSocket(handle(), kSocketReadable | kSocketWritable | kSocketExceptional, timeout_);
    if (ready == 0) throw network_error_timeout();
    if (ready & kSocketExceptional) throw network_error();
    if (ready & kSocketReadable) break;
    const std::size_t sent = writeSome(bytes + done, length - done);
    if (sent == 0) abortableSleep(kFullSocketPause);
    done += sent;
  }
  return done;
}

bool netStream::canRead() { return (waitOnSocket(handle(), kSocketReadable, 0) & kSocketReadable) != 0; }

bool netStream::canWrite() { return (waitOnSocket(handle(), kSocketWritable, 0) & kSocketWritable) != 0; }

void netStream::checkError() {
  if (isOpen() && waitOnSocket(handle(), kSocketExceptional, 0)) throw network_error();
}

void netStream::setNoDelay(bool enable) {
  const int value = enable ? 1 : 0;
  setsockopt(handle(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace Kx
