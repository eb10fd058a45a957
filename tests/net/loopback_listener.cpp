#include "loopback_listener.h"

namespace {
struct winsockStarted {
  winsockStarted() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
} g_winsock;
}  // namespace

LoopbackListener::LoopbackListener(int family, unsigned short port) {
  SOCKET s = socket(family, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return;
  sockaddr_storage address{};
  int size = 0;
  if (family == AF_INET6) {
    auto* a = reinterpret_cast<sockaddr_in6*>(&address);
    a->sin6_family = AF_INET6;
    a->sin6_addr = in6addr_loopback;
    a->sin6_port = htons(port);
    size = sizeof *a;
  } else {
    auto* a = reinterpret_cast<sockaddr_in*>(&address);
    a->sin_family = AF_INET;
    a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a->sin_port = htons(port);
    size = sizeof *a;
  }
  if (bind(s, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(s, 4) != 0) {
    closesocket(s);
    return;
  }
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                                   : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
  listener_ = s;
}

LoopbackListener::~LoopbackListener() {
  if (thread_.joinable()) thread_.join();
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
}

void LoopbackListener::serveOnce(std::function<void(SOCKET)> peer) {
  thread_ = std::thread([this, peer] {
    SOCKET c = accept(listener_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    peer(c);
    closesocket(c);
  });
}

unsigned short refusedPort() {
  LoopbackListener probe;
  return probe.port();
}

size_t drain(SOCKET s) {
  char buffer[65536];
  size_t total = 0;
  for (;;) {
    const int got = recv(s, buffer, sizeof buffer, 0);
    if (got <= 0) return total;
    total += static_cast<size_t>(got);
  }
}
