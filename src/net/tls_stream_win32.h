// netStreamSSL_Impl_Win32: a TLS client over an inner stream through the
// platform's secure channel. The handshake runs with manual certificate
// validation: the checks after it (validity period, chain, server policy
// with the host name, revocation) are what protects the user.
#pragma once
#define SECURITY_WIN32
// The newer credentials structure is declared only with the blacklist types.
#define SCHANNEL_USE_BLACKLISTS
#include <windows.h>
#include <subauth.h>
#include <security.h>
#include <schannel.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/net_stream_base.h"

namespace Kx {

// One credentials handle of the secure channel, shared by the TLS streams
// that reuse it; freed when the last owner goes.
class Credentials_t {
 public:
  // Acquires outbound credentials; throws exception_network_authentication.
  Credentials_t();
  ~Credentials_t();
  Credentials_t(const Credentials_t&) = delete;
  Credentials_t& operator=(const Credentials_t&) = delete;
  CredHandle* handle() { return &handle_; }

 private:
  CredHandle handle_{};
};

class netStreamSSL_Impl_Win32 : public netStreamBase {
 public:
  // `options`: kTlsSkipCertificateChecks.
  netStreamSSL_Impl_Win32(std::shared_ptr<netStreamBase> inner, unsigned options);
  ~netStreamSSL_Impl_Win32() override;
  netStreamSSL_Impl_Win32(const netStreamSSL_Impl_Win32&) = delete;
  netStreamSSL_Impl_Win32& operator=(const netStreamSSL_Impl_Win32&) = delete;

  // Runs the client handshake over the already connected inner stream;
  // `lender`, when given, supplies its credentials.
  void secureConnected(const std::string& host, netStreamSSL_Impl_Win32* lender);

  // streamIn
  std::size_t read(void* buffer, std::size_t length) override;
  // -1 with the socket error WSAEINVAL before the handshake finished; 0 at end of stream.
  std::ptrdiff_t readSome(void* buffer, std::size_t length) override;
  std::ptrdiff_t receiveRaw(void* buffer, std::size_t length) override { return static_cast<std::ptrdiff_t>(read(buffer, length)); }
  // streamOut
  void write(const void* data, std::size_t length) override;
  // netStreamBase
  void connect(const std::string& host, const std::string& service, unsigned flags) override;
  socketHandleValue* socketHandle() override { return inner_->socketHandle(); }
  std::size_t writeUntilReply(const void* data, std::size_t length) override;
  void setTimeout(double seconds) override { inner_->setTimeout(seconds); }
  bool isOpen() override { return inner_->isOpen(); }
  void close() override;
  void shutdown(int) override {}
  void addSocketHook(socketHook hook) override;
  bool queryInterface(const interfaceId& id) override { return id == kTlsStreamInterface; }
  void setNoDelay(bool enable) override { inner_->setNoDelay(enable); }
  void checkError() override { inner_->checkError(); }

 private:
  struct block {
    std::vector<char> bytes;
    std::size_t position = 0;
  };

  void resetConnectionState();
  void deleteContext();
  void clientHandshake();
  // `input` starts the loop (renegotiation); empty means read from the peer.
  void handshakeLoop(std::vector<char> input);
  void writeToken(SecBuffer& token);
  // Fills the queue of decrypted blocks; leaves it empty at end of stream.
  void decryptMore();
  SecPkgContext_StreamSizes streamSizes();

  std::wstring host_;
  std::shared_ptr<netStreamBase> inner_;
  unsigned options_;
  std::shared_ptr<Credentials_t> credentials_;
  CtxtHandle context_{};
  bool hasContext_ = false;
  bool established_ = false;
  bool closedByPeer_ = false;
  bool innerEnded_ = false;
  std::vector<char> received_;  // ciphertext not yet decrypted
  std::size_t receivedFill_ = 0;
  bool receiveBufferSized_ = false;
  std::deque<block> decrypted_;
};

}  // namespace Kx
