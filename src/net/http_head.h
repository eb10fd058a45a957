// The reply head of HTTP/1.1: line reading, the status line and header
// lookup. Layout of a head:
//   status line   "HTTP/1.1" SP 3DIGIT [SP reason] CRLF
//   header lines  name ":" [blanks] value CRLF   (not unfolded)
//   empty line    CRLF
// A bare LF also ends a line; every CR is dropped.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/byte_source.h"

namespace Kx {

// The longest line of a head or chunk framing; one more byte throws
// invalid_input.
inline constexpr std::size_t kMaxHeadLine = 65536;
// The most header bytes a reply head may hold; a head that runs past it is
// an invalid reply rather than memory without bound.
inline constexpr std::size_t kMaxHeadBytes = 1024 * 1024;
// The most values responseHeaders collects before "list too long".
inline constexpr std::size_t kMaxHeaderValues = 1024;
// The reason phrase of a status line that has none.
inline constexpr std::string_view kUnspecifiedReason = "Unspecified HTTP Response";

// Reads one line byte by byte; false when the stream ended before any byte.
bool readHeadLine(byteSource& source, std::string& line);

struct replyHead {
  std::string statusLine;
  std::string headers;  // each header line followed by CRLF
};
// Reads the status line and the header lines up to the first empty line.
// No status line, or a head beyond kMaxHeadBytes, throws httpInvalidReply.
replyHead readReplyHead(byteSource& source);

struct statusInfo {
  int code = 0;
  std::string reason;
};
// The code and reason phrase; nullopt when the line is not a status line.
std::optional<statusInfo> parseStatusLine(std::string_view line);

// The value of the first header line whose name equals `name` (ASCII case
// ignored), from after the ":" and blanks to the end of the line; empty
// when there is none.
std::string headerValue(std::string_view headers, std::string_view name);
// Every such value in order; beyond kMaxHeaderValues throws list_too_long.
std::vector<std::string> headerValues(std::string_view headers, std::string_view name);
// The value up to its first blank, comma or semicolon.
std::string firstToken(std::string_view value);
// A Content-Length value: decimal digits only, within 64 bits; anything else
// throws httpInvalidReply.
std::int64_t parseContentLength(std::string_view value);

bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace Kx
