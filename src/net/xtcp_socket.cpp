#include "net/xtcp_socket.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "library/text_convert.h"
#include "net/winsock_session.h"

namespace {
const Kx::winsockSession& g_winsock = Kx::winsockSession::instance();

// One wait step of send and receive.
constexpr long kWaitStepMicros = 50000;
// Smallest piece handed to one send call.
constexpr std::uint32_t kMinSendPiece = 8192;

XNetThrottle g_plainThrottle;

bool isDottedQuad(const std::string& host) {
  int parts = 0;
  std::size_t i = 0;
  while (i < host.size()) {
    std::size_t digits = 0;
    while (i < host.size() && host[i] >= '0' && host[i] <= '9') ++i, ++digits;
    if (digits == 0 || digits > 3) return false;
    ++parts;
    if (i == host.size()) break;
    if (host[i] != '.') return false;
    ++i;
    if (i == host.size()) return false;
  }
  return parts == 4;
}

// Which of readable (bit 0), writable (bit 1), exceptional (bit 2) hold
// within one wait step; -1 when select fails.
int waitStep(SOCKET s, bool read, bool write) {
  fd_set readSet, writeSet, errorSet;
  FD_ZERO(&readSet);
  FD_ZERO(&writeSet);
  FD_ZERO(&errorSet);
  if (read) FD_SET(s, &readSet);
  if (write) {
    FD_SET(s, &writeSet);
    FD_SET(s, &errorSet);
  }
  timeval limit{0, kWaitStepMicros};
  if (select(0, &readSet, &writeSet, &errorSet, &limit) == SOCKET_ERROR) return -1;
  return (FD_ISSET(s, &readSet) ? 1 : 0) | (FD_ISSET(s, &writeSet) ? 2 : 0) | (FD_ISSET(s, &errorSet) ? 4 : 0);
}
}  // namespace

bool XNetThrottle::pause(std::uint32_t milliseconds) {
  if (milliseconds != 0) Sleep(milliseconds);
  return true;
}

XTCPSocket::~XTCPSocket() { close(); }

XNetThrottle& XTCPSocket::currentThrottle() { return throttle ? *throttle : g_plainThrottle; }

void XTCPSocket::close() {
  if (socket_ != 0) closesocket(socket_);
  socket_ = 0;
}

bool XTCPSocket::open(const std::wstring& agent, const std::wstring& host, std::uint32_t hostPort,
                      const std::wstring& proxyText) {
  receiveIdleTimeoutMs = kDefaultReceiveIdleTimeoutMs;
  close();
  agentName = agent;
  hostName = host;
  port = hostPort;
  proxy = proxyText;
  const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return false;
  socket_ = s;

  const std::string narrowHost = wide_to_utf8(host);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  if (isDottedQuad(narrowHost)) {
    address.sin_addr.s_addr = inet_addr(narrowHost.c_str());
  } else {
    const unsigned long numeric = inet_addr(narrowHost.c_str());
    const hostent* entry = numeric == INADDR_NONE
                               ? gethostbyname(narrowHost.c_str())
                               : gethostbyaddr(reinterpret_cast<const char*>(&numeric), sizeof numeric, AF_INET);
    if (!entry || !entry->h_addr_list || !entry->h_addr_list[0]) {
      close();
      return false;
    }
    std::memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof address.sin_addr);
  }
  if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;
  return afterConnect();
}

bool XTCPSocket::afterConnect() {
  if (receiveIdleTimeoutMs != 0) {
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
  }
  int bufferSize = 0;
  int size = sizeof bufferSize;
  getsockopt(socket_, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<char*>(&bufferSize), &size);
  sendPieceSize = std::max<std::uint32_t>(static_cast<std::uint32_t>(std::max(bufferSize, 0)), kMinSendPiece);
  lastTransferTick = GetTickCount64();
  return true;
}

bool XTCPSocket::send(const void* data, std::uint32_t length) {
  const auto* bytes = static_cast<const char*>(data);
  std::uint32_t done = 0;
  while (done < length) {
    if (!currentThrottle().pause(0)) return false;
    if (stopSendingWhenDataArrives && (waitStep(socket_, true, false) & 1)) return true;
    const int ready = waitStep(socket_, false, true);
    if (ready < 0 || (ready & 4)) return false;
    bool moved = false;
    if (ready & 2) {
      const int piece = static_cast<int>(std::min(sendPieceSize, length - done));
      const int sent = ::send(socket_, bytes + done, piece, 0);
      if (sent > 0) {
        currentThrottle().onSent(static_cast<std::uint32_t>(sent));
        lastTransferTick = GetTickCount64();
        done += static_cast<std::uint32_t>(sent);
        moved = true;
      } else if (sent == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) {
        return false;
      }
    }
    if (!moved && GetTickCount64() - lastTransferTick > sendIdleTimeoutMs) return false;
  }
  return true;
}

int XTCPSocket::receive(void* buffer, std::uint32_t size, HANDLE abortEvent) {
  for (;;) {
    if (abortEvent && WaitForSingleObject(abortEvent, 0) == WAIT_OBJECT_0) {
      WSASetLastError(WSAECONNABORTED);
      return -1;
    }
    if (!currentThrottle().pause(0)) {
      WSASetLastError(WSAECONNABORTED);
      return -1;
    }
    const int ready = waitStep(socket_, true, false);
    if (ready < 0) {
      WSASetLastError(WSAECONNRESET);
      return -1;
    }
    if (ready & 1) {
      const int got = ::recv(socket_, static_cast<char*>(buffer), static_cast<int>(size), 0);
      if (got > 0) {
        currentThrottle().onReceived(static_cast<std::uint32_t>(got));
        lastTransferTick = GetTickCount64();
      }
      return got;
    }
    if (receiveIdleTimeoutMs != 0 && GetTickCount64() - lastTransferTick > receiveIdleTimeoutMs) {
      WSASetLastError(WSAETIMEDOUT);
      return -1;
    }
  }
}
