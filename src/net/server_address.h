// A server named by a setting as "host" or "host:port", falling back to a
// built-in host when the setting is empty.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct ServerAddress {
  std::wstring host;
  std::uint32_t port = 0;
};

// A ":port" suffix counts only when it is a decimal number from 1 to 65535;
// otherwise the whole text is the host name.
ServerAddress server_address_or_default(std::wstring_view setting_text, std::wstring_view built_in_host,
                                        std::uint32_t default_port);
