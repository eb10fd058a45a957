// Server settings "host" or "host:port" over a built-in default.
#include "net/server_address.h"

#include <gtest/gtest.h>

namespace {

TEST(ServerAddress, SettingOverridesTheBuiltInServer) {
  struct Case {
    const wchar_t* setting;
    const wchar_t* host;
    std::uint32_t port;
  };
  const Case cases[] = {
      {L"", L"built.in", 80},
      {L"127.0.0.1", L"127.0.0.1", 80},
      {L"127.0.0.1:8080", L"127.0.0.1", 8080},
      {L"records.test:65535", L"records.test", 65535},
      {L"records.test:0", L"records.test:0", 80},          // not a port: all of it is the host
      {L"records.test:65536", L"records.test:65536", 80},
      {L"records.test:8x", L"records.test:8x", 80},
      {L"records.test:", L"records.test:", 80},
      {L":8080", L":8080", 80},
  };
  for (const Case& c : cases) {
    const ServerAddress address = server_address_or_default(c.setting, L"built.in", 80);
    EXPECT_EQ(address.host, c.host) << c.setting;
    EXPECT_EQ(address.port, c.port) << c.setting;
  }
}

}  // namespace
