#include "verify/lookup_protocol.h"

#include <gtest/gtest.h>

#include "verify/crc32.h"

namespace {
std::vector<TDLookupItem> batch(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> keysAndAnswers) {
  std::vector<TDLookupItem> items;
  std::uint32_t index = 0;
  for (const auto& [key, answer] : keysAndAnswers) items.push_back({index++, key, answer, false});
  return items;
}

std::vector<std::string> replyHeaders(std::string_view body) {
  return {"CONTENT-LENGTH: " + std::to_string(body.size()), "CRCList:" + std::to_string(crc32(body.substr(0, body.size() - 2)))};
}
}  // namespace

TEST(Crc32, KnownValues) {
  EXPECT_EQ(crc32("abc"), 0x352441C2u);
  EXPECT_EQ(crc32Hex(crc32("abc")), "352441C2");
  EXPECT_EQ(crc32(""), 0u);
  EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32Hex(0x0000ABCDu), "0000ABCD");
}

TEST(LookupRequest, BodyHoldsOnlyUnansweredKeys) {
  const auto items = batch({{L"0000000A;1;2", L""}, {L"0000000B;3", L"known"}, {L"0000000C;4", L""}});
  const pendingLookup pending = collectPendingLookup(items);
  EXPECT_EQ(pending.positions, (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(pending.body, L"0000000A;1;2\r\n0000000C;4");
  EXPECT_TRUE(collectPendingLookup(batch({{L"k", L"a"}})).positions.empty());
}

TEST(LookupRequest, HeaderBlock) {
  EXPECT_EQ(lookupHeaderBlock("abc"),
            "ALACTION:TDLookupTOC\r\nCLIENT-VERSION:100.0.0.0\r\nMultiTDIDAware:1\r\nContent-CRC:352441C2\r\n"
            "Token:00000000");
}

TEST(LookupReply, StatusCodes) {
  struct Case {
    int status;
    int code;
    const wchar_t* message;
  };
  const Case cases[] = {
      {200, 0, L""},
      {601, 1, L"Software too old, please update."},
      {611, 1, L"Server Updating: Try again later"},
      {500, 1, L"Unexpected failure, please try again later [code: 500, method: TDLookupTOC, content: 17 bytes]."},
      {204, 1, L"Unexpected failure, please try again later [code: 204, method: TDLookupTOC, content: 17 bytes]."},
  };
  for (const Case& c : cases) {
    const TDLookupResult result = lookupStatusResult(c.status, 17);
    EXPECT_EQ(result.code, c.code) << c.status;
    EXPECT_EQ(result.message, c.message) << c.status;
  }
}

TEST(LookupReply, Numbers) {
  EXPECT_EQ(parseLookupNumber("  42abc"), 42);
  EXPECT_EQ(parseLookupNumber("-7"), -7);
  EXPECT_EQ(parseLookupNumber("+3"), 3);
  EXPECT_EQ(parseLookupNumber("x1"), 0);
  EXPECT_EQ(parseLookupNumber(""), 0);
  EXPECT_EQ(lookupHeader({"Content-Type: x", "crclist: 12"}, "CRCList"), " 12");
  EXPECT_FALSE(lookupHeader({"CRCListX: 1"}, "CRCList"));
}

TEST(LookupReply, IntegrityChecks) {
  const std::string body = "001-00000001-00000002-00000003\r\nno\r\n";
  auto lines = verifiedLookupLines(replyHeaders(body), body);
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, (std::vector<std::string>{"001-00000001-00000002-00000003", "no"}));

  // A CONTENT-LENGTH below 3, or none, is a reply without answers.
  EXPECT_EQ(verifiedLookupLines({}, body), std::vector<std::string>());
  EXPECT_EQ(verifiedLookupLines({"CONTENT-LENGTH: 2"}, "\r\n"), std::vector<std::string>());

  auto wrongCrc = replyHeaders(body);
  wrongCrc[1] = "CRCList: 12345";
  EXPECT_FALSE(verifiedLookupLines(wrongCrc, body));
  // A cut body fails; bytes beyond CONTENT-LENGTH are not looked at.
  EXPECT_FALSE(verifiedLookupLines(replyHeaders(body), body.substr(0, body.size() - 1)));
  EXPECT_TRUE(verifiedLookupLines(replyHeaders(body), body + "extra"));
}

TEST(LookupReply, AnswersGoToTheItemsSent) {
  auto items = batch({{L"k1", L""}, {L"k2", L"cached"}, {L"k3", L""}, {L"k4", L""}});
  const pendingLookup pending = collectPendingLookup(items);
  applyLookupAnswers(items, pending.positions, {"id-1", "no"});
  EXPECT_EQ(items[0].answer, L"id-1");
  EXPECT_EQ(items[1].answer, L"cached");
  EXPECT_EQ(items[2].answer, L"");  // "no"
  EXPECT_EQ(items[3].answer, L"");  // no line for it
  applyLookupAnswers(items, pending.positions, {"a", "b", "\xC3\xA9", "extra"});
  EXPECT_EQ(items[3].answer, L"\u00E9");
}

TEST(LookupServer, BuiltInPatternOrOverride) {
  EXPECT_EQ(lookupServerUrl(L"", 1), "http://lookup1.tallydisc.auralith.example:42531");
  EXPECT_EQ(lookupServerUrl(L"", 20), "http://lookup20.tallydisc.auralith.example:42531");
  EXPECT_EQ(lookupServerUrl(L"127.0.0.1", 7), "http://127.0.0.1:42531");
  EXPECT_EQ(lookupServerUrl(L"127.0.0.1:8080", 7), "http://127.0.0.1:8080");
}
