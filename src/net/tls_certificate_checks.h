// The checks of a server certificate after the TLS handshake. The secure
// channel runs with manual validation (and some platforms check nothing in
// the handshake), so these checks are what protects the user.
#pragma once
#define SECURITY_WIN32
#include <windows.h>
#include <security.h>

#include <string>

namespace Kx {

// Longest wait for online revocation information; a server that accepts
// and never answers must not hang the connection. Running out counts as
// "revocation offline", which is tolerated.
inline constexpr DWORD kRevocationDeadlineMs = 5000;

// Throws exception_network_authentication (or network_error) unless the
// certificate of `context` is valid now, chains to a trusted root with no
// error status, passes the SSL server policy for `host` and is not revoked.
void verifyServerCertificateOf(CtxtHandle& context, const std::wstring& host);

}  // namespace Kx
