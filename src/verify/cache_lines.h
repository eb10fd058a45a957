// Line formats of the result cache, the table-of-contents lookup cache and
// the ignored-albums file.
//
// TDResultCache.bin  UTF-16LE, no byte-order mark, one line per file:
//   file id (unsigned decimal) {_; _} file stamp (unsigned 64-bit decimal)
//   {_; _} status (signed decimal) {_; _} line text CR LF
// TDTocLookup.bin    UTF-16LE, no byte-order mark, one line per entry:
//   hash (8 upper-case hex digits) {_; _} key text {_; _} answer text CR LF
// TD-IgnoredAlbums.txt  UTF-8, no byte-order mark, one grouping key per line,
//   every line ended by CR LF.
//
// On reading, a line is split at every separator; only a line with exactly
// the expected number of pieces is taken, so a text that itself holds the
// separator makes its line unreadable and it is skipped.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::wstring_view kCacheFieldSeparator = L"{_; _}";

inline constexpr wchar_t kResultCacheFileName[] = L"TDResultCache.bin";
inline constexpr wchar_t kTocLookupFileName[] = L"TDTocLookup.bin";
inline constexpr wchar_t kIgnoredAlbumsFileName[] = L"TD-IgnoredAlbums.txt";

std::vector<std::wstring> split_cache_fields(std::wstring_view line);

// One track's remembered verdict, valid while the file keeps its stamp.
struct TDResultCacheEntry {
  std::uint64_t file_stamp = 0;
  std::int32_t status = 0;
  std::wstring line;
  bool operator==(const TDResultCacheEntry&) const = default;
};

struct TDResultCacheLine {
  std::uint32_t file_id = 0;
  TDResultCacheEntry entry;
};

std::optional<TDResultCacheLine> parse_result_cache_line(std::wstring_view line);
// The line with its CR LF.
std::wstring format_result_cache_line(std::uint32_t file_id, const TDResultCacheEntry& entry);

// One answer of the lookup service, by table-of-contents key.
struct TDTocLookupEntry {
  std::uint32_t hash = 0;
  std::wstring key;
  std::wstring answer;
  bool operator==(const TDTocLookupEntry&) const = default;
};

// The first 8 characters of a table-of-contents key read as hexadecimal.
std::uint32_t toc_key_hash(std::wstring_view key);
std::optional<TDTocLookupEntry> parse_toc_lookup_line(std::wstring_view line);
std::wstring format_toc_lookup_line(const TDTocLookupEntry& entry);

// True when a text can be written as one field of a cache line and read back
// unchanged: it holds no line break and no separator.
bool fits_cache_field(std::wstring_view text);

// Appends wide text as UTF-16LE bytes.
void append_utf16le(std::string& bytes, std::wstring_view text);

// The whole ignored-albums file for these keys.
std::string ignored_albums_file_bytes(const std::vector<std::wstring>& keys);
