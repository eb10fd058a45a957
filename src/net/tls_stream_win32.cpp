#include "net/tls_stream_win32.h"

#include <winsock2.h>

#include <algorithm>
#include <cstring>

#include "library/text_convert.h"
#include "net/abort_signal.h"
#include "net/net_errors.h"
#include "net/secure_stream_provider.h"
#include "net/tls_certificate_checks.h"
#include "net/tls_failure.h"

namespace Kx {

namespace {
// Bound on buffered ciphertext, for the handshake and for records.
constexpr std::size_t kMaxCiphertext = 65536;

// Credentials flags: strong crypto (newer systems only), revocation of the
// whole chain, no default client credentials, certificates validated by our
// own checks, no system mapper.
constexpr DWORD kStrongCryptoFlag = 0x400000;  // SCH_USE_STRONG_CRYPTO
constexpr DWORD kCredentialFlags = SCH_CRED_REVOCATION_CHECK_CHAIN | SCH_CRED_NO_DEFAULT_CREDS |
                                   SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_SYSTEM_MAPPER;
// Systems from this build of Windows 10 on take the newer credentials structure.
constexpr DWORD kNewCredentialsBuild = 17762;

constexpr ULONG kRequestFlags = ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY |
                                ISC_REQ_CONFIDENTIALITY | ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT;

bool usesNewCredentials() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwMajorVersion > 10 || (version.dwMajorVersion == 10 && version.dwBuildNumber > kNewCredentialsBuild);
}

struct contextBuffer {  // a token the secure channel allocated
  void* data = nullptr;
  ~contextBuffer() {
    if (data) FreeContextBuffer(data);
  }
};
}  // namespace

Credentials_t::Credentials_t() {
  TimeStamp expiry;
  SECURITY_STATUS status;
  wchar_t package[] = UNISP_NAME_W;
  if (usesNewCredentials()) {
    SCH_CREDENTIALS credentials{};
    credentials.dwVersion = SCH_CREDENTIALS_VERSION;
    credentials.dwFlags = kCredentialFlags | kStrongCryptoFlag;
    status = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &credentials, nullptr,
                                       nullptr, &handle_, &expiry);
  } else {
    SCHANNEL_CRED credentials{};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    credentials.dwFlags = kCredentialFlags;
    status = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &credentials, nullptr,
                                       nullptr, &handle_, &expiry);
  }
  if (status != SEC_E_OK) throw exception_network_authentication();
}

Credentials_t::~Credentials_t() { FreeCredentialsHandle(&handle_); }

netStreamSSL_Impl_Win32::netStreamSSL_Impl_Win32(std::shared_ptr<netStreamBase> inner, unsigned options)
    : inner_(std::move(inner)), options_(options) {}

netStreamSSL_Impl_Win32::~netStreamSSL_Impl_Win32() { deleteContext(); }

void netStreamSSL_Impl_Win32::deleteContext() {
  if (hasContext_) DeleteSecurityContext(&context_);
  hasContext_ = false;
  established_ = false;
}

void netStreamSSL_Impl_Win32::resetConnectionState() {
  deleteContext();
  closedByPeer_ = false;
  innerEnded_ = false;
  received_.clear();
  receivedFill_ = 0;
  receiveBufferSized_ = false;
  decrypted_.clear();
}

void netStreamSSL_Impl_Win32::connect(const std::string& host, const std::string& service, unsigned flags) {
  inner_->connect(host, service, flags & ~kConnectTls);
  secureConnected(host, nullptr);
}

void netStreamSSL_Impl_Win32::secureConnected(const std::string& host, netStreamSSL_Impl_Win32* lender) {
  host_ = utf8_to_wide(host);
  resetConnectionState();
  if (lender) credentials_ = lender->credentials_;
  clientHandshake();
  established_ = true;
}

// Handshake tokens go out as they are, also during a renegotiation, when
// application data is already encrypted.
void netStreamSSL_Impl_Win32::writeToken(SecBuffer& token) {
  if (token.pvBuffer && token.cbBuffer) inner_->write(token.pvBuffer, token.cbBuffer);
}

void netStreamSSL_Impl_Win32::clientHandshake() {
  if (!credentials_) credentials_ = std::make_shared<Credentials_t>();
  SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
  ULONG attributes = 0;
  const SECURITY_STATUS status =
      InitializeSecurityContextW(credentials_->handle(), nullptr, host_.data(), kRequestFlags, 0, SECURITY_NATIVE_DREP,
                                 nullptr, 0, &context_, &outDesc, &attributes, nullptr);
  contextBuffer token{out.pvBuffer};
  if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) throwTlsFailure(status);
  hasContext_ = true;
  writeToken(out);
  handshakeLoop({});
  if (!(options_ & kTlsSkipCertificateChecks)) {
    try {
      verifyServerCertificateOf(context_, host_);
    } catch (...) {
      deleteContext();
      throw;
    }
  }
}

void netStreamSSL_Impl_Win32::handshakeLoop(std::vector<char> input) {
  std::size_t fill = input.size();
  input.resize(kMaxCiphertext);
  SECURITY_STATUS status = SEC_I_CONTINUE_NEEDED;
  for (;;) {
    if (fill == 0 || status == SEC_E_INCOMPLETE_MESSAGE) {
      if (fill == input.size()) {
        deleteContext();
        throw exception_network_authentication();
      }
      const std::ptrdiff_t got = inner_->readSome(input.data() + fill, input.size() - fill);
      if (got <= 0) {
        deleteContext();
        throw exception_network_authentication();
      }
      fill += static_cast<std::size_t>(got);
    }
    SecBuffer in[2] = {{static_cast<ULONG>(fill), SECBUFFER_TOKEN, input.data()}, {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
    SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
    ULONG attributes = 0;
    status = InitializeSecurityContextW(credentials_->handle(), &context_, host_.data(), kRequestFlags, 0,
                                        SECURITY_NATIVE_DREP, &inDesc, 0, nullptr, &outDesc, &attributes, nullptr);
    contextBuffer token{out.pvBuffer};
    if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED ||
        (FAILED(status) && (attributes & ISC_RET_EXTENDED_ERROR))) {
      writeToken(out);
    }
    const bool extra = in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0 && in[1].cbBuffer <= fill;
    switch (status) {
      case SEC_I_INCOMPLETE_CREDENTIALS:
        if (options_ & kTlsSkipCertificateChecks) continue;
        deleteContext();
        throwTlsFailure(status);
      case SEC_E_INCOMPLETE_MESSAGE:
        continue;
      case SEC_E_OK:
        if (extra) {
          received_.assign(input.begin() + static_cast<std::ptrdiff_t>(fill - in[1].cbBuffer),
                           input.begin() + static_cast<std::ptrdiff_t>(fill));
          receivedFill_ = received_.size();
          receiveBufferSized_ = false;
        }
        return;
      case SEC_I_CONTINUE_NEEDED:
        if (extra) {
          std::memmove(input.data(), input.data() + (fill - in[1].cbBuffer), in[1].cbBuffer);
          fill = in[1].cbBuffer;
        } else {
          fill = 0;
        }
        continue;
      default:
        deleteContext();
        throwTlsFailure(status);
    }
  }
}

SecPkgContext_StreamSizes netStreamSSL_Impl_Win32::streamSizes() {
  SecPkgContext_StreamSizes sizes{};
  const SECURITY_STATUS status = QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes);
  if (status != SEC_E_OK) throwTlsFailure(status);
  return sizes;
}

void netStreamSSL_Impl_Win32::decryptMore() {
  bool needMore = false;
  for (;;) {
    if (!decrypted_.empty() || closedByPeer_) return;
    if (!receiveBufferSized_) {
      const SecPkgContext_StreamSizes sizes = streamSizes();
      const std::size_t record = std::size_t{sizes.cbHeader} + sizes.cbMaximumMessage + sizes.cbTrailer;
      received_.resize(std::max(receivedFill_, std::min(record, kMaxCiphertext)));
      receiveBufferSized_ = true;
    }
    if (receivedFill_ == 0 || needMore) {
      if (innerEnded_) {
        if (needMore) throw network_error();
        return;
      }
      // A record that does not fit the bound cannot be decrypted.
      if (receivedFill_ == received_.size()) throw network_error();
      const std::ptrdiff_t got = inner_->readSome(received_.data() + receivedFill_, received_.size() - receivedFill_);
      if (got <= 0) {
        innerEnded_ = true;
        if (needMore) throw network_error();
        if (receivedFill_ == 0) return;
      } else {
        receivedFill_ += static_cast<std::size_t>(got);
      }
    }
    needMore = false;
    SecBuffer buffers[4] = {{static_cast<ULONG>(receivedFill_), SECBUFFER_DATA, received_.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      needMore = true;
      continue;
    }
    if (status == SEC_I_CONTEXT_EXPIRED) {
      closedByPeer_ = true;
      return;
    }
    if (status == SEC_I_RENEGOTIATE) {
      const SecBuffer* extra = nullptr;
      for (const SecBuffer& b : buffers) {
        if (b.BufferType == SECBUFFER_EXTRA) extra = &b;
      }
      receivedFill_ = 0;
      if (!extra || !extra->pvBuffer || extra->cbBuffer == 0) throw exception_network_authentication();
      const char* start = static_cast<const char*>(extra->pvBuffer);
      handshakeLoop(std::vector<char>(start, start + extra->cbBuffer));
      continue;
    }
    if (status != SEC_E_OK) throwTlsFailure(status);
    std::vector<char> carry;
    bool gotData = false;
    for (int i = 1; i < 4; ++i) {
      const SecBuffer& b = buffers[i];
      if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0) {
        const char* start = static_cast<const char*>(b.pvBuffer);
        decrypted_.push_back(block{std::vector<char>(start, start + b.cbBuffer), 0});
        gotData = true;
      } else if (b.BufferType == SECBUFFER_EXTRA && b.cbBuffer > 0) {
        const char* start = static_cast<const char*>(b.pvBuffer);
        carry.assign(start, start + b.cbBuffer);
      }
    }
    std::memcpy(received_.data(), carry.data(), carry.size());
    receivedFill_ = carry.size();
    // The peer's close notification decrypts to nothing at all.
    if (!gotData && carry.empty()) closedByPeer_ = true;
  }
}

std::ptrdiff_t netStreamSSL_Impl_Win32::readSome(void* buffer, std::size_t length) {
  if (!established_) {
    WSASetLastError(WSAEINVAL);
    return -1;
  }
  if (decrypted_.empty()) decryptMore();
  if (decrypted_.empty()) return 0;
  block& front = decrypted_.front();
  const std::size_t n = std::min(length, front.bytes.size() - front.position);
  std::memcpy(buffer, front.bytes.data() + front.position, n);
  front.position += n;
  if (front.position == front.bytes.size()) decrypted_.pop_front();
  return static_cast<std::ptrdiff_t>(n);
}

std::size_t netStreamSSL_Impl_Win32::read(void* buffer, std::size_t length) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < length) {
    checkAbort();
    const std::ptrdiff_t got = readSome(bytes + done, length - done);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void netStreamSSL_Impl_Win32::write(const void* data, std::size_t length) {
  // Until the handshake is done, bytes are its tokens and go out as they are.
  if (!established_) {
    inner_->write(data, length);
    return;
  }
  const SecPkgContext_StreamSizes sizes = streamSizes();
  std::vector<char> message(std::size_t{sizes.cbHeader} + sizes.cbMaximumMessage + sizes.cbTrailer);
  const auto* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < length) {
    const std::size_t piece = std::min<std::size_t>(length - done, sizes.cbMaximumMessage);
    std::memcpy(message.data() + sizes.cbHeader, bytes + done, piece);
    SecBuffer buffers[4] = {{sizes.cbHeader, SECBUFFER_STREAM_HEADER, message.data()},
                            {static_cast<ULONG>(piece), SECBUFFER_DATA, message.data() + sizes.cbHeader},
                            {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, message.data() + sizes.cbHeader + piece},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = EncryptMessage(&context_, 0, &desc, 0);
    if (status < 0) throwTlsFailure(status);
    inner_->write(message.data(), std::size_t{buffers[0].cbBuffer} + buffers[1].cbBuffer + buffers[2].cbBuffer);
    done += piece;
  }
}

std::size_t netStreamSSL_Impl_Win32::writeUntilReply(const void* data, std::size_t length) {
  write(data, length);
  return length;
}

void netStreamSSL_Impl_Win32::close() {
  inner_->close();
  host_.clear();
  resetConnectionState();
}

void netStreamSSL_Impl_Win32::addSocketHook(socketHook) { throw not_implemented(); }

}  // namespace Kx
