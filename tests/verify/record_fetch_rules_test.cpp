// Identifier checks, cache names, server paths, request bytes and the
// reply parse of the record fetch.
#include "verify/record_fetch_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kExample[] = L"002-00009c40-0001adb1-0b019002";

RecordReply parse(const std::string& bytes) {
  return parse_record_reply(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(RecordFetchRules, OnlyWellFormedIdentifiersAreUsed) {
  struct Case {
    const wchar_t* identifier;
    bool valid;
  };
  const Case cases[] = {
      {kExample, true},
      {L"002-00009C40-0001ADB1-0B019002", true},
      {L"", false},
      {L"002-00009c40-0001adb1-0b01900", false},                        // short group
      {L"002-00009c40-0001adb1-0b0190022", false},                      // long group
      {L"02-000009c40-0001adb1-0b019002", false},                       // two-digit count
      {L"0a2-00009c40-0001adb1-0b019002", false},                       // count not decimal
      {L"002-00009c4g-0001adb1-0b019002", false},                       // not hexadecimal
      {L"002_00009c40-0001adb1-0b019002", false},                       // wrong separator
      {L"002-00009c40-0001adb1-0b019002;10000;20000", false},          // lengths attached
      {L"..\\..\\..\\Windows\\win.ini", false},
      {L"002-00009c40-0001adb1-\\..\\..\\x.", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_valid_disc_identifier(c.identifier), c.valid) << c.identifier;
}

TEST(RecordFetchRules, IdentifierListsSplitAtHash) {
  EXPECT_TRUE(split_identifier_list(L"").empty());
  EXPECT_EQ(split_identifier_list(L"a"), (std::vector<std::wstring>{L"a"}));
  EXPECT_EQ(split_identifier_list(L"a##b#"), (std::vector<std::wstring>{L"a", L"", L"b", L""}));
}

TEST(RecordFetchRules, CacheNameAndServerPathUseTheLowerCaseIdentifier) {
  EXPECT_EQ(record_cache_file_name(L"002-00009C40-0001ADB1-0B019002"), L"TDbf-002-00009c40-0001adb1-0b019002.bin");
  EXPECT_EQ(record_server_path(kExample), L"/tallydisc/0/4/c/TDbf-002-00009c40-0001adb1-0b019002.bin");
  EXPECT_EQ(record_server_path(L"002-00009C40-0001ADB1-0B019002"),
            L"/tallydisc/0/4/c/TDbf-002-00009c40-0001adb1-0b019002.bin");
}

TEST(RecordFetchRules, RequestBytes) {
  EXPECT_EQ(record_request(record_server_path(kExample), kRecordServerHost, 80),
            std::wstring(L"GET /tallydisc/0/4/c/TDbf-002-00009c40-0001adb1-0b019002.bin HTTP/1.0\r\n"
                         L"User-Agent: Auralith\r\nHost: ") +
                kRecordServerHost + L"\r\n\r\n");
  EXPECT_EQ(record_request(L"/p", L"127.0.0.1", 8080), L"GET /p HTTP/1.0\r\nUser-Agent: Auralith\r\nHost: 127.0.0.1:8080\r\n\r\n");
}

TEST(RecordFetchRules, ReplyParse) {
  struct Case {
    std::string bytes;
    int status;
    std::wstring status_text;
    bool has_header_end;
    std::size_t body_offset;
    std::size_t body_length;
    long long content_length;  // -1: none
  };
  const Case cases[] = {
      {"HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabc", 200, L"200 OK", true, 38, 3, 3},
      {"http/1.0 200 ok\r\n\r\nxy", 200, L"200 ok", true, 19, 2, -1},
      {"HTTP/1.1 404 Not Found\r\n\r\n<html>", 404, L"404 Not Found", true, 26, 6, -1},
      {"HTTP/1.0 200 OK\r\n", 200, L"200 OK", false, 0, 0, -1},
      {"garbage\r\nHTTP/1.0 200 OK\r\n\r\n", 200, L"200 OK", true, 28, 0, -1},
      {"\r\n\r\nHTTP/1.0 200 OK\r\n\r\n", 0, L"", true, 4, 19, -1},      // only the head counts
      {"HTTP/1.0 200 OK\r\nCONTENT-LENGTH:\t10 \r\n\r\n", 200, L"200 OK", true, 40, 0, 10},
      {"HTTP/1.0 200 OK\r\nContent-Length: x\r\n\r\n", 200, L"200 OK", true, 38, 0, -1},
      {std::string("HTTP/1.0 200 O\0K\r\n\r\n", 20), 200, L"200 O", true, 20, 0, -1},
      {"HTTP/1.0 99999999999999 Big\r\n\r\n", 999999999, L"99999999999999 Big", true, 31, 0, -1},
      {"HTTP/1.0 ", 0, L"", false, 0, 0, -1},
      {"HTTP/1.0", 0, L"", false, 0, 0, -1},
      {"\r\n\r", 0, L"", false, 0, 0, -1},
      {"", 0, L"", false, 0, 0, -1},
  };
  for (const Case& c : cases) {
    const RecordReply reply = parse(c.bytes);
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.status_text, c.status_text);
    EXPECT_EQ(reply.has_header_end, c.has_header_end);
    EXPECT_EQ(reply.body_offset, c.body_offset);
    EXPECT_EQ(reply.body_length, c.body_length);
    EXPECT_EQ(reply.content_length ? static_cast<long long>(*reply.content_length) : -1, c.content_length);
  }
}

TEST(RecordFetchRules, OnlyAWhole200ReplyIsStored) {
  struct Case {
    std::string bytes;
    RecordReplyVerdict verdict;
  };
  const Case cases[] = {
      {"HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabc", RecordReplyVerdict::kStore},
      {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nabc", RecordReplyVerdict::kNetworkFailure},
      {"HTTP/1.0 200 OK\r\n\r\nabc", RecordReplyVerdict::kStore},
      {"HTTP/1.0 200 OK\r\n", RecordReplyVerdict::kStore},  // no head end: an empty record
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 99\r\n\r\n", RecordReplyVerdict::kNotPresent},
      {"no status at all", RecordReplyVerdict::kNotPresent},
  };
  for (const Case& c : cases) EXPECT_EQ(judge_record_reply(parse(c.bytes)), c.verdict) << c.bytes;
}

TEST(RecordFetchRules, ReplyBufferGrowth) {
  EXPECT_EQ(record_reply_capacity(20000, 0, 1024), 20000u);
  EXPECT_EQ(record_reply_capacity(20000, 18976, 1024), 20000u);
  EXPECT_EQ(record_reply_capacity(20000, 18977, 1024), 20001u + (18977u + 2048u) / 3);
}

}  // namespace
