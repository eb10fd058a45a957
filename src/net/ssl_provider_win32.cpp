#include "net/ssl_provider_win32.h"

#include "net/net_stream.h"
#include "net/tls_stream_win32.h"

namespace Kx {

std::shared_ptr<netStreamBase> SSLProvider_Win32::createSecureStream(unsigned options) {
  return std::make_shared<netStreamSSL_Impl_Win32>(std::make_shared<netStream>(), options);
}

std::shared_ptr<netStreamBase> SSLProvider_Win32::createPlainStream() { return std::make_shared<netStream>(); }

std::shared_ptr<netStreamBase> SSLProvider_Win32::secureExistingStream(std::shared_ptr<netStreamBase> inner,
                                                                       const std::string& host, unsigned options,
                                                                       netStreamBase* credentialSource) {
  auto stream = std::make_shared<netStreamSSL_Impl_Win32>(std::move(inner), options);
  netStreamSSL_Impl_Win32* lender = nullptr;
  if (credentialSource && credentialSource->queryInterface(kTlsStreamInterface))
    lender = dynamic_cast<netStreamSSL_Impl_Win32*>(credentialSource);
  stream->secureConnected(host, lender);
  return stream;
}

secureNetStreamProvider& defaultSecureProvider() {
  static SSLProvider_Win32 provider;
  return provider;
}

}  // namespace Kx
