// SSLProvider_Win32: the process's stream factory, TLS through the
// platform's secure channel.
#pragma once
#include "net/secure_stream_provider.h"

namespace Kx {

class SSLProvider_Win32 : public secureNetStreamProvider {
 public:
  std::shared_ptr<netStreamBase> createSecureStream(unsigned options) override;
  std::shared_ptr<netStreamBase> createPlainStream() override;
  std::shared_ptr<netStreamBase> secureExistingStream(std::shared_ptr<netStreamBase> inner, const std::string& host,
                                                      unsigned options, netStreamBase* credentialSource) override;
};

}  // namespace Kx
