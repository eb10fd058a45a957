// Kx::netStream: one TCP socket, non-blocking, every wait bounded by the
// stream's time-out and checked against the thread's abort signal.
#pragma once
#include <winsock2.h>

#include <vector>

#include "net/name_resolution.h"
#include "net/net_stream_base.h"

namespace Kx {

class netStream : public netStreamBase {
 public:
  netStream() = default;
  ~netStream() override;
  netStream(const netStream&) = delete;
  netStream& operator=(const netStream&) = delete;

  // streamIn
  std::size_t read(void* buffer, std::size_t length) override;
  std::ptrdiff_t readSome(void* buffer, std::size_t length) override;
  std::ptrdiff_t receiveRaw(void* buffer, std::size_t length) override;
  void waitReadable() override;
  bool canRead() override;
  // streamOut
  void write(const void* data, std::size_t length) override;
  std::size_t writeSome(const void* data, std::size_t length) override;
  void waitWritable() override;
  bool canWrite() override;
  // netStreamBase. connect with kConnectTls throws not_implemented: TLS is
  // a separate stream over this one.
  void connect(const std::string& host, const std::string& service, unsigned flags) override;
  // The part of connect after name resolution: tries the addresses in order
  // (skipping families other than IPv4 and IPv6) until one connects.
  void connectAddresses(const std::vector<resolvedAddress>& addresses);
  socketHandleValue* socketHandle() override { return &socket_; }
  std::size_t writeUntilReply(const void* data, std::size_t length) override;
  void setTimeout(double seconds) override { timeout_ = seconds; }
  bool isOpen() override { return socket_ != kClosed; }
  void close() override;
  void shutdown(int how) override;
  void addSocketHook(socketHook hook) override { hooks_.push_back(std::move(hook)); }
  void setNoDelay(bool enable) override;
  void checkError() override;

 private:
  static constexpr socketHandleValue kClosed = static_cast<socketHandleValue>(INVALID_SOCKET);
  SOCKET handle() const { return static_cast<SOCKET>(socket_); }
  void connectAddress(const resolvedAddress& address);
  // Waits for `watch`; time-out throws network_error_timeout; an exceptional
  // condition, or none of `required`, throws network_error.
  unsigned waitOrThrow(unsigned watch, unsigned required);
  void runHooks(int phase);

  socketHandleValue socket_ = kClosed;
  double timeout_ = -1.0;
  std::vector<socketHook> hooks_;
};

}  // namespace Kx
