// The lookup client against the stand-in lookup service on loopback (one
// instance per behaviour, started by run_with_peers.py).
#include "verify/lookup_service.h"

#include <gtest/gtest.h>

#include "library/text_convert.h"
#include "net/peer_env.h"
#include "shell/settings_store.h"
#include "verify/crc32.h"

namespace {
// Each test points TD-LookupServer, in a key of its own, at one stand-in.
class LookupService : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\Lumenvale\\AuralithLookupTest-" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, key_);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, kSettingsKeyPath);
  }
  void useServer(const std::string& hostAndPort) {
    const std::wstring value = utf8_to_wide(hostAndPort);
    write_setting(value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)), REG_SZ,
                  setting::kLookupServer);
  }
  // Points at the stand-in of `variant` and returns its request log.
  std::string useVariant(const std::string& variant) {
    useServer("127.0.0.1:" + peerSetting(("TD_TEST_LOOKUP_" + variant + "_PORT").c_str()));
    return peerSetting(("TD_TEST_LOOKUP_" + variant + "_LOG").c_str());
  }
  std::wstring key_;
};

std::vector<TDLookupItem> batch(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> keysAndAnswers) {
  std::vector<TDLookupItem> items;
  std::uint32_t index = 0;
  for (const auto& [key, answer] : keysAndAnswers) items.push_back({index++, key, answer, false});
  return items;
}

std::vector<std::wstring> answers(const std::vector<TDLookupItem>& items) {
  std::vector<std::wstring> out;
  for (const TDLookupItem& item : items) out.push_back(item.answer);
  return out;
}
}  // namespace

TEST_F(LookupService, AnswersKnownKeysAndSendsTheProtocolHead) {
  const std::string log = useVariant("OK");
  const std::string before = hostFileBytes(log);
  auto items = batch({{L"0000000A;1000", L""}, {L"0000000C;1", L"cached answer"}, {L"0000000F;99", L""},
                      {L"0000000B;2000;3000", L""}});
  const TDLookupResult result = lookupDiscIds(items);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.message, L"");
  EXPECT_EQ(answers(items), (std::vector<std::wstring>{
                                L"001-0000000a-00000b01-00000c02", L"cached answer", L"",
                                L"002-0000000b-00000b02-00000c03#002-0000000b-00000b02-00000c04"}));

  const std::string body = "0000000A;1000\r\n0000000F;99\r\n0000000B;2000;3000";
  const std::string port = peerSetting("TD_TEST_LOOKUP_OK_PORT");
  EXPECT_EQ(hostFileBytes(log).substr(before.size()),
            "POST / HTTP/1.1\r\nHost: 127.0.0.1:" + port +
                "\r\nConnection: close\r\nAccept: */*\r\nuser-agent: AL Client\r\nALACTION:TDLookupTOC\r\n"
                "CLIENT-VERSION:100.0.0.0\r\nMultiTDIDAware:1\r\nContent-CRC:" + crc32Hex(crc32(body)) +
                "\r\nToken:00000000\r\nContent-Length: " + std::to_string(body.size() + 2) + "\r\n\r\n" + body +
                "\r\n\n=====\n");
}

TEST_F(LookupService, ABatchWithEveryAnswerSendsNothing) {
  const std::string log = useVariant("OK");
  const std::string before = hostFileBytes(log);
  auto items = batch({{L"0000000A;1000", L"known"}, {L"0000000B;2000;3000", L"also known"}});
  EXPECT_EQ(lookupDiscIds(items).code, 0);
  EXPECT_EQ(answers(items), (std::vector<std::wstring>{L"known", L"also known"}));
  EXPECT_EQ(hostFileBytes(log), before);
}

TEST_F(LookupService, FailuresChangeNoItem) {
  struct Case {
    std::string variant;
    int code;
    std::wstring message;
  };
  const std::size_t bodyLength = std::string("0000000A;1000\r\n0000000B;2000;3000").size();
  const Case cases[] = {
      {"601", 1, L"Software too old, please update."},
      {"611", 1, L"Server Updating: Try again later"},
      {"500", 1,
       L"Unexpected failure, please try again later [code: 500, method: TDLookupTOC, content: " +
           std::to_wstring(bodyLength) + L" bytes]."},
      {"WRONGCRC", 3, L"Connection interrupted"},
      {"CUT", 3, L"Connection interrupted"},
  };
  for (const Case& c : cases) {
    useVariant(c.variant);
    auto items = batch({{L"0000000A;1000", L""}, {L"0000000B;2000;3000", L""}});
    const TDLookupResult result = lookupDiscIds(items);
    EXPECT_EQ(result.code, c.code) << c.variant;
    EXPECT_EQ(result.message, c.message) << c.variant;
    EXPECT_EQ(answers(items), (std::vector<std::wstring>{L"", L""})) << c.variant;
  }
}

TEST_F(LookupService, UnreachableServerCannotConnect) {
  // The scripted peers never listen on port 1.
  useServer("127.0.0.1:1");
  auto items = batch({{L"0000000A;1000", L""}});
  const TDLookupResult result = lookupDiscIds(items);
  EXPECT_EQ(result.code, 3);
  EXPECT_EQ(result.message, L"Could not connect");
  EXPECT_EQ(items[0].answer, L"");
}
