// Kx::secureNetStreamProvider: the factory of transport streams. One static
// instance serves the whole process and holds no mutable state.
#pragma once
#include <memory>
#include <string>

#include "net/net_stream_base.h"

namespace Kx {

// Option bits of the TLS stream.
inline constexpr unsigned kTlsSkipCertificateChecks = 1u << 0;

class secureNetStreamProvider {
 public:
  virtual ~secureNetStreamProvider() = default;
  // A TLS stream over a new plain TCP stream, not yet connected.
  virtual std::shared_ptr<netStreamBase> createSecureStream(unsigned options) = 0;
  virtual std::shared_ptr<netStreamBase> createPlainStream() = 0;
  // Runs the client handshake over an already connected stream and returns
  // the TLS stream over it. A credential source that is itself a TLS stream
  // lends its credentials instead of new ones being acquired.
  virtual std::shared_ptr<netStreamBase> secureExistingStream(std::shared_ptr<netStreamBase> inner,
                                                              const std::string& host, unsigned options,
                                                              netStreamBase* credentialSource) = 0;
};

// The process's provider (TLS over the platform's secure channel).
secureNetStreamProvider& defaultSecureProvider();

}  // namespace Kx
