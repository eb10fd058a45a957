#include "verify/lookup_protocol.h"

#include <cstdio>
#include <limits>

#include "library/text_convert.h"
#include "net/server_address.h"
#include "verify/crc32.h"

namespace {
constexpr std::string_view kCrLf = "\r\n";
constexpr int kStatusOk = 200;
constexpr int kStatusTooOld = 601;
constexpr int kStatusUpdating = 611;
// A CONTENT-LENGTH below this carries no answer line.
constexpr std::int64_t kMinAnsweredLength = 3;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (lowerAscii(text[i]) != lowerAscii(prefix[i])) return false;
  return true;
}
}  // namespace

pendingLookup collectPendingLookup(const std::vector<TDLookupItem>& items) {
  pendingLookup pending;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i].answer.empty()) continue;
    if (!pending.positions.empty()) pending.body += L"\r\n";
    pending.body += items[i].key;
    pending.positions.push_back(i);
  }
  return pending;
}

std::string lookupHeaderBlock(std::string_view body) {
  return std::string("ALACTION:") + kLookupAction +
         "\r\nCLIENT-VERSION:100.0.0.0"
         "\r\nMultiTDIDAware:1"
         "\r\nContent-CRC:" +
         crc32Hex(crc32(body)) +
         // The process-wide token is always 0 in this system.
         "\r\nToken:" + crc32Hex(0);
}

TDLookupResult lookupStatusResult(int statusCode, std::size_t bodyLength) {
  if (statusCode == kStatusOk) return {};
  if (statusCode == kStatusTooOld) return {1, lookup_message::kTooOld};
  if (statusCode == kStatusUpdating) return {1, lookup_message::kUpdating};
  char text[200];
  std::snprintf(text, sizeof text,
                "Unexpected failure, please try again later [code: %d, method: %s, content: %u bytes].", statusCode,
                kLookupAction, static_cast<unsigned>(bodyLength));
  return {1, utf8_to_wide(text)};
}

std::int64_t parseLookupNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    // A number beyond 64 bits stays at the largest one; it can match nothing.
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

std::optional<std::string> lookupHeader(const std::vector<std::string>& headerLines, std::string_view name) {
  for (const std::string& line : headerLines) {
    if (startsWithNoCase(line, name) && line.size() > name.size() && line[name.size()] == ':')
      return line.substr(name.size() + 1);
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> verifiedLookupLines(const std::vector<std::string>& headerLines,
                                                            std::string_view body) {
  const std::int64_t length = parseLookupNumber(lookupHeader(headerLines, "CONTENT-LENGTH").value_or(""));
  if (length < kMinAnsweredLength) return std::vector<std::string>();
  if (static_cast<std::uint64_t>(length) > body.size()) return std::nullopt;
  const std::string_view verified = body.substr(0, static_cast<std::size_t>(length) - kCrLf.size());
  const std::int64_t listed = parseLookupNumber(lookupHeader(headerLines, "CRCList").value_or(""));
  // CRCList is read as a 32-bit value.
  if (static_cast<std::uint32_t>(listed) != crc32(verified)) return std::nullopt;

  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = verified.find(kCrLf, start);
    lines.emplace_back(verified.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + kCrLf.size();
  }
  return lines;
}

void applyLookupAnswers(std::vector<TDLookupItem>& items, const std::vector<std::size_t>& positions,
                        const std::vector<std::string>& lines) {
  for (std::size_t j = 0; j < positions.size() && j < lines.size(); ++j) {
    if (lines[j] == "no") continue;
    items[positions[j]].answer = utf8_to_wide(lines[j]);
  }
}

std::string lookupServerUrl(std::wstring_view overrideServer, int serverNumber) {
  char builtIn[100];
  std::snprintf(builtIn, sizeof builtIn, kLookupServerPattern, serverNumber);
  const ServerAddress server = server_address_or_default(overrideServer, utf8_to_wide(builtIn), kLookupPort);
  return "http://" + wide_to_utf8(server.host) + ":" + std::to_string(server.port);
}
