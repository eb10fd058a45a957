#include "net/net_stream_secure.h"

#include <stdexcept>

#include "net/net_stream.h"

namespace Kx {

netStreamSecure::netStreamSecure(secureNetStreamProvider& provider) : provider_(provider) {}

bool netStreamSecure::askCertificateDecision(const std::string& host) {
  if (certificateDecision_) lastDecision_ = certificateDecision_(host);
  return certificateDecision_ ? lastDecision_ : false;
}

void netStreamSecure::setProxy(std::string proxyUrl, tunnelOpener opener) {
  proxyUrl_ = std::move(proxyUrl);
  tunnelOpener_ = std::move(opener);
}

netStreamBase& netStreamSecure::requireInner() {
  if (!inner_) throw std::runtime_error("Socket not open");
  return *inner_;
}

void netStreamSecure::connect(const std::string& host, const std::string& service, unsigned flags) {
  inner_.reset();
  if (proxyInUse()) {
    tunnelOpener_(*this, host, service);
    if (flags & kConnectTls) upgradeToTls(host);
    return;
  }
  std::shared_ptr<netStreamBase> inner;
  if (flags & kConnectTls) {
    const bool skipChecks = askCertificateDecision(host);
    inner = provider_.createSecureStream(skipChecks ? kTlsSkipCertificateChecks : 0u);
  } else if (flags & kConnectPlainDirect) {
    inner = std::make_shared<netStream>();
  } else {
    inner = provider_.createPlainStream();
  }
  try {
    if (timeout_ > 0) inner->setTimeout(timeout_);
    for (const socketHook& hook : hooks_) inner->addSocketHook(hook);
    inner->connect(host, service, flags);
  } catch (...) {
    try {
      inner.reset();
    } catch (...) {
    }
    throw;
  }
  inner_ = std::move(inner);
}

void netStreamSecure::upgradeToTls(const std::string& host) {
  if (!inner_) throw std::runtime_error("Not connected");
  const bool skipChecks = askCertificateDecision(host);
  inner_ = provider_.secureExistingStream(inner_, host, skipChecks ? kTlsSkipCertificateChecks : 0u, nullptr);
}

std::size_t netStreamSecure::read(void* buffer, std::size_t length) { return requireInner().read(buffer, length); }

std::ptrdiff_t netStreamSecure::readSome(void* buffer, std::size_t length) {
  return requireInner().readSome(buffer, length);
}

std::ptrdiff_t netStreamSecure::receiveRaw(void* buffer, std::size_t length) {
  return requireInner().receiveRaw(buffer, length);
}

void netStreamSecure::waitReadable() {
  if (inner_) inner_->waitReadable();
}

bool netStreamSecure::canRead() { return inner_ && inner_->canRead(); }

void netStreamSecure::write(const void* data, std::size_t length) { requireInner().write(data, length); }

std::size_t netStreamSecure::writeSome(const void* data, std::size_t length) {
  return requireInner().writeSome(data, length);
}

void netStreamSecure::waitWritable() {
  if (inner_) inner_->waitWritable();
}

bool netStreamSecure::canWrite() { return inner_ && inner_->canWrite(); }

socketHandleValue* netStreamSecure::socketHandle() { return requireInner().socketHandle(); }

std::size_t netStreamSecure::writeUntilReply(const void* data, std::size_t length) {
  write(data, length);
  return length;
}

void netStreamSecure::setTimeout(double seconds) {
  timeout_ = seconds;
  if (inner_) inner_->setTimeout(seconds);
}

bool netStreamSecure::isOpen() { return inner_ && inner_->isOpen(); }

void netStreamSecure::close() { inner_.reset(); }

void netStreamSecure::shutdown(int how) {
  if (inner_) inner_->shutdown(how);
}

void netStreamSecure::addSocketHook(socketHook hook) { hooks_.push_back(std::move(hook)); }

bool netStreamSecure::queryInterface(const interfaceId& id) { return inner_ && inner_->queryInterface(id); }

void netStreamSecure::setNoDelay(bool enable) {
  if (inner_) inner_->setNoDelay(enable);
}

void netStreamSecure::checkError() {
  if (inner_) inner_->checkError();
}

}  // namespace Kx
