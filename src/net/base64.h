// Base64 of RFC 4648 with "=" padding.
#pragma once
#include <string>
#include <string_view>

namespace Kx {

std::string base64Encode(std::string_view bytes);

}  // namespace Kx
