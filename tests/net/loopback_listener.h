// A loopback TCP listener for transport tests: accepts one connection on a
// thread and hands the connected socket to a scripted peer.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>

#include <functional>
#include <thread>

class LoopbackListener {
 public:
  // `family` AF_INET (127.0.0.1) or AF_INET6 (::1); port 0 picks a free one.
  explicit LoopbackListener(int family = AF_INET, unsigned short port = 0);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  bool listening() const { return listener_ != INVALID_SOCKET; }
  unsigned short port() const { return port_; }
  // Accepts one connection on a thread and runs `peer` with it; the socket
  // is closed afterwards.
  void serveOnce(std::function<void(SOCKET)> peer);

 private:
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::thread thread_;
};

// A port on which nothing listens (bound once, then released).
unsigned short refusedPort();
// Reads from `s` until the peer closes; returns the byte count.
size_t drain(SOCKET s);
