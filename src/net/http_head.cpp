#include "net/http_head.h"

#include <limits>

#include "net/http_errors.h"

namespace Kx {
namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Calls `visit(value)` for each header line named `name`; stops when it
// returns false.
template <class Visit>
void forEachHeader(std::string_view headers, std::string_view name, Visit visit) {
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find("\r\n", start);
    if (end == std::string_view::npos) end = headers.size();
    const std::string_view line = headers.substr(start, end - start);
    start = end + 2;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !equalsNoCase(line.substr(0, colon), name)) continue;
    std::size_t value = colon + 1;
    while (value < line.size() && isBlank(line[value])) ++value;
    if (!visit(line.substr(value))) return;
  }
}
}  // namespace

std::string statusText(const std::string& reason, int code) {
  return reason + " (" + std::to_string(code) + ")";
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool readHeadLine(byteSource& source, std::string& line) {
  line.clear();
  bool any = false;
  char c = 0;
  while (source.readSome(&c, 1) == 1) {
    any = true;
    if (c == '\n') return true;
    if (c == '\r') continue;
    if (line.size() == kMaxHeadLine) throw invalid_input();
    line += c;
  }
  return any;
}

replyHead readReplyHead(byteSource& source) {
  replyHead head;
  if (!readHeadLine(source, head.statusLine)) throw httpInvalidReply();
  std::string line;
  while (readHeadLine(source, line) && !line.empty()) {
    if (head.headers.size() + line.size() + 2 > kMaxHeadBytes) throw httpInvalidReply();
    head.headers += line;
    head.headers += "\r\n";
  }
  return head;
}

std::optional<statusInfo> parseStatusLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && !isBlank(line[i])) ++i;
  if (i == line.size()) return std::nullopt;
  while (i < line.size() && isBlank(line[i])) ++i;
  if (line.size() - i < 3 || !isDigit(line[i]) || !isDigit(line[i + 1]) || !isDigit(line[i + 2]))
    return std::nullopt;
  statusInfo status;
  status.code = (line[i] - '0') * 100 + (line[i + 1] - '0') * 10 + (line[i + 2] - '0');
  i += 3;
  if (i < line.size() && !isBlank(line[i])) return std::nullopt;
  while (i < line.size() && isBlank(line[i])) ++i;
  status.reason = i < line.size() ? std::string(line.substr(i)) : std::string(kUnspecifiedReason);
  return status;
}

std::string headerValue(std::string_view headers, std::string_view name) {
  std::string found;
  forEachHeader(headers, name, [&](std::string_view value) {
    found = std::string(value);
    return false;
  });
  return found;
}

std::vector<std::string> headerValues(std::string_view headers, std::string_view name) {
  std::vector<std::string> values;
  forEachHeader(headers, name, [&](std::string_view value) {
    if (values.size() == kMaxHeaderValues) throw list_too_long();
    values.emplace_back(value);
    return true;
  });
  return values;
}

std::string firstToken(std::string_view value) {
  const std::size_t end = value.find_first_of(" \t,;");
  return std::string(value.substr(0, end));
}

std::int64_t parseContentLength(std::string_view value) {
  while (!value.empty() && isBlank(value.back())) value.remove_suffix(1);
  if (value.empty()) throw httpInvalidReply();
  std::uint64_t length = 0;
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  for (const char c : value) {
    if (!isDigit(c)) throw httpInvalidReply();
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (length > (kMax - digit) / 10) throw httpInvalidReply();
    length = length * 10 + digit;
  }
  return static_cast<std::int64_t>(length);
}

}  // namespace Kx
