// The pure rules of fetching rip database records: which identifiers may
// name a cache file and a server path, the request bytes, the reply's
// parse and the bounds on it. The fetch itself is record_fetch.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rip database server built into the system; TD-DatabaseServer
// replaces it ("host" or "host:port") for self-hosting and tests.
inline constexpr wchar_t kRecordServerHost[] = L"db.tallydisc.auralith.example";
inline constexpr std::uint32_t kRecordServerPort = 80;
inline constexpr wchar_t kRecordAgentName[] = L"Auralith";

// A record of every pressing of a disc is a few kilobytes; anything this
// large is not a record, and nothing of it is kept.
inline constexpr std::size_t kMaxRecordReply = 4u << 20;

// Identifiers arrive from the network and from tags and name files and
// server paths: only "DDD-XXXXXXXX-XXXXXXXX-XXXXXXXX" (three decimal
// digits, three groups of eight hexadecimal digits of either case) is used.
bool is_valid_disc_identifier(std::wstring_view identifier);

// The "#"-joined identifier list split into its parts, in order (empty parts
// included, so that they are seen and skipped).
std::vector<std::wstring> split_identifier_list(std::wstring_view list);

// "TDbf-" + the lower-cased identifier + ".bin".
std::wstring record_cache_file_name(std::wstring_view identifier);

// "/tallydisc/%c/%c/%c/TDbf-%s.bin": the lower-cased identifier's characters
// 11, 10 and 9 (the last three hexadecimal digits of the first sum), then
// the identifier. For a valid identifier only.
std::wstring record_server_path(std::wstring_view identifier);

// The whole request. The host carries a ":port" suffix only for a port
// other than 80 (the built-in server is on 80, so its request has none).
std::wstring record_request(std::wstring_view server_path, std::wstring_view host, std::uint32_t port);

// Reply layout: a status line matching "HTTP/?.? " (letters of any case)
// somewhere before the header end, header lines, CR LF CR LF, the body.
struct RecordReply {
  int status = 0;              // 0 when no status line was found
  std::wstring status_text;    // the rest of the status line
  bool has_header_end = false;
  std::size_t body_offset = 0;  // the body runs to the end of the data
  std::size_t body_length = 0;
  std::optional<std::uint64_t> content_length;
};

RecordReply parse_record_reply(const std::uint8_t* data, std::size_t length);

enum class RecordReplyVerdict {
  kStore,           // a record: write the body to the cache file
  kNotPresent,      // any status but 200: nothing written, not a network failure
  kNetworkFailure,  // a 200 reply cut short of its Content-Length
};

RecordReplyVerdict judge_record_reply(const RecordReply& reply);

// Capacity of the reply buffer before the next receive of `piece` bytes at
// `position`: unchanged while position + piece fits, else
// (position + piece) + (position + 2 * piece) / 3.
std::size_t record_reply_capacity(std::size_t capacity, std::size_t position, std::size_t piece);
