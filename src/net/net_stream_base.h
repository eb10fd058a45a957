// Kx::netStreamBase: a byte stream to a host and port, plain TCP or TLS.
// The socket handle travels as an integer of pointer size (the platform's
// SOCKET) so that code above the transport needs no platform headers.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "net/stream_in.h"
#include "net/stream_out.h"

namespace Kx {

using socketHandleValue = std::uintptr_t;

// Bits of the `flags` of connect.
inline constexpr unsigned kConnectTls = 1u << 0;
// With kConnectTls clear: a plain TCP stream made directly, not through the provider.
inline constexpr unsigned kConnectPlainDirect = 1u << 1;

// Phases at which a socket hook is called.
inline constexpr int kSocketHookCreated = 1;
inline constexpr int kSocketHookConnected = 2;
using socketHook = std::function<void(socketHandleValue socket, int phase)>;

// Directions of shutdown (the platform's SD_RECEIVE, SD_SEND, SD_BOTH).
inline constexpr int kShutdownReceive = 0;
inline constexpr int kShutdownSend = 1;
inline constexpr int kShutdownBoth = 2;

// A 128-bit interface identifier as queryInterface compares it.
struct interfaceId {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
  friend bool operator==(const interfaceId&, const interfaceId&) = default;
};
// The identifier the TLS stream answers to: {2D6B00FB-6C6E-4FE9-A1CF-FD5C1F18969B}.
inline constexpr interfaceId kTlsStreamInterface = {
    0x2D6B00FB, 0x6C6E, 0x4FE9, {0xA1, 0xCF, 0xFD, 0x5C, 0x1F, 0x18, 0x96, 0x9B}};

class netStreamBase : public streamIn, public streamOut {
 public:
  // `host` and `service` (the port as decimal text) are UTF-8.
  virtual void connect(const std::string& host, const std::string& service, unsigned flags) = 0;
  // The handle of the innermost TCP stream.
  virtual socketHandleValue* socketHandle() = 0;
  // Writes until all is written or the peer has sent something to read;
  // returns the count written.
  virtual std::size_t writeUntilReply(const void* data, std::size_t length) = 0;
  // Time-out in seconds for every later blocking step; negative: no limit.
  virtual void setTimeout(double seconds) = 0;
  virtual bool isOpen() = 0;
  virtual void close() = 0;
  virtual void shutdown(int how) = 0;
  virtual void addSocketHook(socketHook hook) = 0;
  virtual bool queryInterface(const interfaceId&) { return false; }
  virtual void setNoDelay(bool enable) = 0;
  // Throws network_error when the socket reports an exceptional condition now.
  virtual void checkError() = 0;
};

}  // namespace Kx
