#include "verify/record_fetch_rules.h"

#include "library/text_convert.h"

namespace {

constexpr std::size_t kTrackCountDigits = 3;
constexpr std::size_t kGroupDigits = 8;
constexpr std::size_t kGroupCount = 3;
constexpr std::size_t kIdentifierLength = kTrackCountDigits + kGroupCount * (1 + kGroupDigits);

// Positions of the lower-cased identifier that pick the server folders.
constexpr std::size_t kServerFolderPositions[] = {11, 10, 9};

// "HTTP/?.? ": '?' is any byte.
constexpr char kStatusPattern[] = "HTTP/?.? ";
constexpr std::size_t kStatusPatternLength = sizeof kStatusPattern - 1;

constexpr char kContentLength[] = "content-length:";
constexpr std::size_t kContentLengthLength = sizeof kContentLength - 1;
// More digits than any sane length; a longer number is ignored.
constexpr std::size_t kMaxLengthDigits = 18;
// Status codes are three digits; anything longer is not a status.
constexpr std::size_t kMaxStatusDigits = 9;

bool is_decimal(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool is_hex(wchar_t c) { return is_decimal(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

char lower_byte(std::uint8_t c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); }

bool matches_status_pattern(const std::uint8_t* at) {
  for (std::size_t i = 0; i < kStatusPatternLength; ++i) {
    if (kStatusPattern[i] == '?') continue;
    if (lower_byte(at[i]) != lower_byte(static_cast<std::uint8_t>(kStatusPattern[i]))) return false;
  }
  return true;
}

bool is_crlf(const std::uint8_t* data, std::size_t length, std::size_t at) {
  return at + 1 < length && data[at] == '\r' && data[at + 1] == '\n';
}

// The value of the first "Content-Length:" header line in [begin, end).
std::optional<std::uint64_t> find_content_length(const std::uint8_t* data, std::size_t begin, std::size_t end) {
  for (std::size_t line = begin; line < end;) {
    std::size_t next = line;
    while (next < end && !is_crlf(data, end, next)) ++next;
    if (next - line >= kContentLengthLength) {
      bool name = true;
      for (std::size_t i = 0; i < kContentLengthLength && name; ++i)
        name = lower_byte(data[line + i]) == kContentLength[i];
      if (name) {
        std::size_t p = line + kContentLengthLength;
        while (p < next && (data[p] == ' ' || data[p] == '\t')) ++p;
        std::uint64_t value = 0;
        std::size_t digits = 0;
        while (p < next && data[p] >= '0' && data[p] <= '9' && digits < kMaxLengthDigits) {
          value = value * 10 + (data[p] - '0');
          ++p, ++digits;
        }
        while (p < next && (data[p] == ' ' || data[p] == '\t')) ++p;
        if (digits == 0 || p != next) return std::nullopt;
        return value;
      }
    }
    line = next + 2;
  }
  return std::nullopt;
}

}  // namespace

bool is_valid_disc_identifier(std::wstring_view identifier) {
  if (identifier.size() != kIdentifierLength) return false;
  for (std::size_t i = 0; i < kTrackCountDigits; ++i)
    if (!is_decimal(identifier[i])) return false;
  std::size_t at = kTrackCountDigits;
  for (std::size_t group = 0; group < kGroupCount; ++group) {
    if (identifier[at++] != L'-') return false;
    for (std::size_t i = 0; i < kGroupDigits; ++i)
      if (!is_hex(identifier[at++])) return false;
  }
  return true;
}

std::vector<std::wstring> split_identifier_list(std::wstring_view list) {
  std::vector<std::wstring> parts;
  if (list.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t hash = list.find(L'#', start);
    parts.emplace_back(list.substr(start, hash == std::wstring_view::npos ? std::wstring_view::npos : hash - start));
    if (hash == std::wstring_view::npos) return parts;
    start = hash + 1;
  }
}

std::wstring record_cache_file_name(std::wstring_view identifier) {
  return L"TDbf-" + ascii_lowercase(identifier) + L".bin";
}

std::wstring record_server_path(std::wstring_view identifier) {
  const std::wstring lower = ascii_lowercase(identifier);
  std::wstring path = L"/tallydisc/";
  for (std::size_t position : kServerFolderPositions) {
    path += position < lower.size() ? lower[position] : L'\0';
    path += L'/';
  }
  return path + L"TDbf-" + lower + L".bin";
}

std::wstring record_request(std::wstring_view server_path, std::wstring_view host, std::uint32_t port) {
  std::wstring request = L"GET ";
  request += server_path;
  request += L" HTTP/1.0\r\nUser-Agent: ";
  request += kRecordAgentName;
  request += L"\r\nHost: ";
  request += host;
  if (port != kRecordServerPort) request += L":" + std::to_wstring(port);
  request += L"\r\n\r\n";
  return request;
}

RecordReply parse_record_reply(const std::uint8_t* data, std::size_t length) {
  RecordReply reply;
  std::size_t header_end = length;
  for (std::size_t p = 0; p + 3 < length; ++p) {
    if (data[p] == '\r' && data[p + 1] == '\n' && data[p + 2] == '\r' && data[p + 3] == '\n') {
      reply.has_header_end = true;
      header_end = p;
      reply.body_offset = p + 4;
      reply.body_length = length - p - 4;
      break;
    }
  }
  for (std::size_t i = 0; i < header_end && i + kStatusPatternLength <= length; ++i) {
    if (!matches_status_pattern(data + i)) continue;
    std::size_t p = i + kStatusPatternLength;
    std::size_t line_end = p;
    while (line_end < length && data[line_end] != 0 && !is_crlf(data, length, line_end)) ++line_end;
    for (std::size_t k = p; k < line_end; ++k) reply.status_text += static_cast<wchar_t>(data[k]);
    int status = 0;
    for (std::size_t digits = 0; p < line_end && data[p] >= '0' && data[p] <= '9' && digits < kMaxStatusDigits;
         ++p, ++digits)
      status = status * 10 + (data[p] - '0');
    reply.status = status;
    if (reply.has_header_end) reply.content_length = find_content_length(data, line_end, header_end);
    break;
  }
  return reply;
}

RecordReplyVerdict judge_record_reply(const RecordReply& reply) {
  if (reply.status != 200) return RecordReplyVerdict::kNotPresent;
  if (reply.content_length && reply.body_length < *reply.content_length) return RecordReplyVerdict::kNetworkFailure;
  return RecordReplyVerdict::kStore;
}

std::size_t record_reply_capacity(std::size_t capacity, std::size_t position, std::size_t piece) {
  if (capacity >= position + piece) return capacity;
  return (position + piece) + (position + 2 * piece) / 3;
}
