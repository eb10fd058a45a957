// Turning a security status into the error family: a peer that closed in
// the middle of a TLS record is a transport failure (network_error); every
// other status is an authentication failure carrying the system's text.
#pragma once
#include <cstdint>
#include <string>

namespace Kx {

// The system's message text for `code` on one line (tabs and line breaks
// become blanks, trailing blanks dropped), UTF-8; empty when it has none.
std::string systemMessageText(std::uint32_t code);

[[noreturn]] void throwTlsFailure(std::int32_t status);

}  // namespace Kx
