#include "net/http_head.h"

#include <gtest/gtest.h>

#include "net/chunked_reader.h"
#include "net/http_errors.h"
#include "net/memory_source.h"

using namespace Kx;

TEST(StatusLine, CodeAndReason) {
  struct Case {
    const char* line;
    int code;  // 0: not a status line
    const char* reason;
  };
  const Case cases[] = {
      {"HTTP/1.1 200 OK", 200, "OK"},
      {"HTTP/1.1 404 Not Found", 404, "Not Found"},
      {"HTTP/1.0   302\t  Moved  Temporarily", 302, "Moved  Temporarily"},
      {"HTTP/1.1 204", 204, "Unspecified HTTP Response"},
      {"HTTP/1.1 204 ", 204, "Unspecified HTTP Response"},
      {"anything 601 x", 601, "x"},
      {"HTTP/1.1 2000 OK", 0, ""},
      {"HTTP/1.1 20 OK", 0, ""},
      {"HTTP/1.1 2x0 OK", 0, ""},
      {"HTTP/1.1", 0, ""},
      {"HTTP/1.1 ", 0, ""},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    const auto status = parseStatusLine(c.line);
    if (c.code == 0) {
      EXPECT_FALSE(status) << c.line;
      continue;
    }
    ASSERT_TRUE(status) << c.line;
    EXPECT_EQ(status->code, c.code) << c.line;
    EXPECT_EQ(status->reason, c.reason) << c.line;
  }
  EXPECT_EQ(statusText("Not Found", 404), "Not Found (404)");
}

TEST(ReplyHead, LinesEndAtLfAndDropCr) {
  memorySource source("HTTP/1.1 200 OK\r\nA: 1\nB:2\r\r\n\r\nbody", 1);
  const replyHead head = readReplyHead(source);
  EXPECT_EQ(head.statusLine, "HTTP/1.1 200 OK");
  EXPECT_EQ(head.headers, "A: 1\r\nB:2\r\n");
  EXPECT_EQ(source.consumed(), std::string("HTTP/1.1 200 OK\r\nA: 1\nB:2\r\r\n\r\n").size());
}

TEST(ReplyHead, LimitsAndEmptyStream) {
  memorySource empty("");
  EXPECT_THROW(readReplyHead(empty), httpInvalidReply);

  std::string line;
  memorySource longest(std::string(kMaxHeadLine, 'x') + "\r\n");
  EXPECT_TRUE(readHeadLine(longest, line));
  EXPECT_EQ(line.size(), kMaxHeadLine);
  memorySource tooLong(std::string(kMaxHeadLine + 1, 'x') + "\r\n");
  EXPECT_THROW(readHeadLine(tooLong, line), invalid_input);

  std::string many = "HTTP/1.1 200 OK\r\n";
  for (std::size_t i = 0; i < kMaxHeadBytes / 990 + 1; ++i) many += "X-Pad: " + std::string(990, 'p') + "\r\n";
  memorySource oversized(many + "\r\n");
  EXPECT_THROW(readReplyHead(oversized), httpInvalidReply);
}

TEST(HeaderLookup, NameBeforeFirstColonCaseIgnored) {
  const std::string headers =
      "Content-Type: text/html\r\nset-cookie: a=1\r\nX-Colon: a:b\r\nSET-COOKIE:b=2\r\nNoColon\r\nSet-Cookie-2: c\r\n";
  EXPECT_EQ(headerValue(headers, "content-type"), "text/html");
  EXPECT_EQ(headerValue(headers, "x-colon"), "a:b");
  EXPECT_EQ(headerValue(headers, "missing"), "");
  EXPECT_EQ(headerValues(headers, "Set-Cookie"), (std::vector<std::string>{"a=1", "b=2"}));

  std::string many;
  for (std::size_t i = 0; i <= kMaxHeaderValues; ++i) many += "V: x\r\n";
  EXPECT_THROW(headerValues(many, "v"), list_too_long);
  EXPECT_EQ(firstToken("Chunked, gzip"), "Chunked");
  EXPECT_EQ(firstToken("close"), "close");
}

TEST(HeaderLookup, ContentLength) {
  EXPECT_EQ(parseContentLength("0"), 0);
  EXPECT_EQ(parseContentLength("1234 "), 1234);
  EXPECT_EQ(parseContentLength("9223372036854775807"), 9223372036854775807LL);
  for (const char* bad : {"", "-1", "+5", "12a", "0x10", "9223372036854775808", "99999999999999999999"})
    EXPECT_THROW(parseContentLength(bad), httpInvalidReply) << bad;
}

namespace {
std::string readChunked(const std::string& wire, std::size_t piece, std::size_t want = 7) {
  memorySource source(wire, piece);
  chunkedReader reader;
  std::string body;
  char buffer[64];
  while (std::size_t n = reader.read(source, buffer, want)) body.append(buffer, n);
  EXPECT_TRUE(reader.lastChunkSeen());
  return body;
}
}  // namespace

TEST(Chunked, DecodesAcrossEverySplit) {
  const std::string wire = "5\r\nhello\r\n1A\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\n\r\nNEXT";
  for (std::size_t piece : {1u, 2u, 3u, 64u}) EXPECT_EQ(readChunked(wire, piece), "helloabcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(readChunked("0\r\n\r\n", 1), "");
}

TEST(Chunked, MalformedFraming) {
  struct Case {
    const char* wire;
    int error;  // 1 invalid_input, 2 httpInvalidReply, 3 overflow
  };
  const Case cases[] = {
      {"5;ext=1\r\nhello\r\n0\r\n\r\n", 1},    // chunk extension
      {"5 \r\nhello\r\n0\r\n\r\n", 1},         // blank after the size
      {"\r\nhello\r\n0\r\n\r\n", 1},           // no size at all
      {"-5\r\nhello\r\n0\r\n\r\n", 1},
      {"5\r\nhelloX\r\n0\r\n\r\n", 2},         // data longer than its size
      {"5\r\nhel", 2},                         // stream ends inside a chunk
      {"5\r\nhello\r\n", 2},                   // stream ends before the next size
      {"0\r\n", 1},                            // no line after the last chunk
      {"0\r\nTrailer: x\r\n\r\n", 2},          // trailers are not accepted
      {"10000000000000000\r\n", 3},            // beyond 64 bits
  };
  for (const Case& c : cases) {
    auto run = [&] { readChunked(c.wire, 3); };
    if (c.error == 1) {
      EXPECT_THROW(run(), invalid_input) << c.wire;
    } else if (c.error == 2) {
      EXPECT_THROW(run(), httpInvalidReply) << c.wire;
    } else {
      EXPECT_THROW(run(), Kx::overflow) << c.wire;
    }
  }
  EXPECT_EQ(parseChunkSize("FFFFFFFFFFFFFFFF"), 0xFFFFFFFFFFFFFFFFull);
}
