// XTCPSocket: a plain TCP client socket for simple request/reply exchanges,
// used without the Kx stream classes. It reports by return value and the
// socket's last error (WSAGetLastError), never by exception.
#pragma once
#include <winsock2.h>

#include <cstdint>
#include <string>

#include "net/xnet_throttle.h"

class XTCPSocket {
 public:
  XTCPSocket() = default;
  virtual ~XTCPSocket();
  XTCPSocket(const XTCPSocket&) = delete;
  XTCPSocket& operator=(const XTCPSocket&) = delete;

  // Connects (blocking) to `host` (dotted address or name) and `port`, then
  // afterConnect. Sets the receive idle time-out to its default first.
  bool open(const std::wstring& agent, const std::wstring& host, std::uint32_t port, const std::wstring& proxy);
  bool isOpen() const { return socket_ != 0; }
  void close();

  // One receive, waiting in 50 ms steps: the count, 0 when the peer closed,
  // -1 on an error, on a signalled `abortEvent` (error WSAECONNABORTED) or
  // after the receive idle time-out without data (WSAETIMEDOUT).
  virtual int receive(void* buffer, std::uint32_t size, HANDLE abortEvent);
  // Sends every byte; false on an error or after the send idle time-out
  // without progress.
  virtual bool send(const void* data, std::uint32_t length);
  virtual bool afterConnect();

  std::uint32_t sendIdleTimeoutMs = 0;
  std::uint32_t sendPieceSize = 0;
  // 0: none (the socket stays blocking).
  std::uint32_t receiveIdleTimeoutMs = 0;
  std::wstring agentName;
  std::wstring hostName;
  std::uint32_t port = 0;
  std::wstring proxy;
  XNetThrottle* throttle = nullptr;
  std::uint64_t lastTransferTick = 0;
  // send stops (successfully) as soon as the peer has sent something.
  bool stopSendingWhenDataArrives = false;

  // The receive idle time-out that open sets.
  static constexpr std::uint32_t kDefaultReceiveIdleTimeoutMs = 30000;

 private:
  XNetThrottle& currentThrottle();
  SOCKET socket_ = 0;
};
