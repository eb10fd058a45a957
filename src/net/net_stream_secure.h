// Kx::netStreamSecure: the connection object the HTTP engine owns. It
// forwards every operation to an inner stream made at connect: plain TCP,
// TLS, or a tunnel through an HTTP proxy with TLS on top.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/net_stream_base.h"
#include "net/secure_stream_provider.h"

namespace Kx {

class netStreamSecure : public netStreamBase {
 public:
  // Answers true when the server certificate of `host` is not to be verified.
  using certificateDecision = std::function<bool(const std::string& host)>;
  // Opens a tunnel to host:service through the connection's proxy and leaves
  // the connection's inner stream (setInnerStream) connected to the proxy.
  // The HTTP engine provides it together with the proxy URL.
  using tunnelOpener =
      std::function<void(netStreamSecure& connection, const std::string& host, const std::string& service)>;

  explicit netStreamSecure(secureNetStreamProvider& provider = defaultSecureProvider());

  void setCertificateDecision(certificateDecision decision) { certificateDecision_ = std::move(decision); }
  // Asks the decision callback (false when none is set) and keeps its answer.
  bool askCertificateDecision(const std::string& host);
  bool lastCertificateDecision() const { return lastDecision_; }

  // An empty URL or no opener: no proxy.
  void setProxy(std::string proxyUrl, tunnelOpener opener);
  const std::string& proxyUrl() const { return proxyUrl_; }
  bool proxyInUse() const { return !proxyUrl_.empty() && static_cast<bool>(tunnelOpener_); }

  std::shared_ptr<netStreamBase> innerStream() const { return inner_; }
  void setInnerStream(std::shared_ptr<netStreamBase> inner) { inner_ = std::move(inner); }
  secureNetStreamProvider& provider() const { return provider_; }
  // 0 when not set.
  double timeout() const { return timeout_; }
  const std::vector<socketHook>& socketHooks() const { return hooks_; }

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
  // netStreamBase
  void connect(const std::string& host, const std::string& service, unsigned flags) override;
  socketHandleValue* socketHandle() override;
  // Not forwarded: writes everything and returns the length.
  std::size_t writeUntilReply(const void* data, std::size_t length) override;
  void setTimeout(double seconds) override;
  bool isOpen() override;
  void close() override;
  void shutdown(int how) override;
  void addSocketHook(socketHook hook) override;
  bool queryInterface(const interfaceId& id) override;
  void setNoDelay(bool enable) override;
  void checkError() override;

 private:
  netStreamBase& requireInner();
  // After a tunnel: TLS over the inner stream connected to the proxy.
  void upgradeToTls(const std::string& host);

  secureNetStreamProvider& provider_;
  std::shared_ptr<netStreamBase> inner_;
  certificateDecision certificateDecision_;
  bool lastDecision_ = false;
  double timeout_ = 0.0;
  std::vector<socketHook> hooks_;
  std::string proxyUrl_;
  tunnelOpener tunnelOpener_;
};

}  // namespace Kx
