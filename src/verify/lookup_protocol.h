// The lookup service's protocol, without the exchange itself.
//
// Request: an HTTP/1.1 POST to "/" with these header lines (name ":" value,
// no blank after the colon):
//   ALACTION:TDLookupTOC
//   CLIENT-VERSION:100.0.0.0
//   MultiTDIDAware:1
//   Content-CRC:<CRC-32 of the body, 8 upper-case hex digits>
//   Token:00000000
// Body: the keys of the items still without answer, joined by CRLF, then a
// CRLF that Content-CRC does not cover.
//
// Reply: status 200; CONTENT-LENGTH counts the body with its final CRLF;
// CRCList is the CRC-32 of the body without it, in decimal. The body holds
// one line per key sent, "no" for a key the service does not know.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "verify/lookup_item.h"

inline constexpr int kLookupPort = 42531;
inline constexpr char kLookupAgent[] = "AL Client";
inline constexpr char kLookupAction[] = "TDLookupTOC";
inline constexpr double kLookupTimeoutSeconds = 120.0;
// The built-in servers: the pattern's number runs from 1 to 20.
inline constexpr char kLookupServerPattern[] = "lookup%d.tallydisc.auralith.example";
inline constexpr int kLookupServerCount = 20;
// The largest reply body accepted; a longer one is an interrupted reply.
inline constexpr std::size_t kMaxLookupReply = 4 * 1024 * 1024;

// The keys still to ask for: their positions in the batch and the body
// text (keys joined by CRLF).
struct pendingLookup {
  std::vector<std::size_t> positions;
  std::wstring body;
};
pendingLookup collectPendingLookup(const std::vector<TDLookupItem>& items);

// The header block for a body (its bytes without the added CRLF), lines
// joined by CRLF, the Token line last.
std::string lookupHeaderBlock(std::string_view body);

// The result for a reply status; code 0 for 200. `bodyLength` is the length
// of the body sent without its added CRLF.
TDLookupResult lookupStatusResult(int statusCode, std::size_t bodyLength);

// A number as the service writes it: leading blanks, an optional sign, the
// decimal digits up to the first other character (none: 0).
std::int64_t parseLookupNumber(std::string_view text);
// The rest of the first line that starts with `name` ":" (case ignored).
std::optional<std::string> lookupHeader(const std::vector<std::string>& headerLines, std::string_view name);

// The answer lines of a reply after the length and CRCList checks; nullopt
// when a check fails. A CONTENT-LENGTH below 3 (or none) gives no lines.
std::optional<std::vector<std::string>> verifiedLookupLines(const std::vector<std::string>& headerLines,
                                                            std::string_view body);

// Gives the j-th item sent the j-th line unless that line is "no".
void applyLookupAnswers(std::vector<TDLookupItem>& items, const std::vector<std::size_t>& positions,
                        const std::vector<std::string>& lines);

// Texts of the result codes.
namespace lookup_message {
inline constexpr wchar_t kEmptyBody[] = L"Unexpected failure";
inline constexpr wchar_t kCouldNotConnect[] = L"Could not connect";
inline constexpr wchar_t kTooOld[] = L"Software too old, please update.";
inline constexpr wchar_t kUpdating[] = L"Server Updating: Try again later";
inline constexpr wchar_t kInterrupted[] = L"Connection interrupted";
}  // namespace lookup_message

// The URL of the lookup server: `overrideServer` ("host" or "host:port",
// the TD-LookupServer setting) when not empty, else the built-in server of
// `serverNumber`; port 42531 unless the override names one; no path.
std::string lookupServerUrl(std::wstring_view overrideServer, int serverNumber);
