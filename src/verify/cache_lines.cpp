#include "verify/cache_lines.h"

#include <cwchar>

#include "library/text_convert.h"
#include "library/number_text.h"

namespace {
constexpr std::size_t kResultCachePieces = 4;
constexpr std::size_t kTocLookupPieces = 3;
// The hash is taken from this many leading characters of a key.
constexpr std::size_t kTocHashDigits = 8;
}  // namespace

std::vector<std::wstring> split_cache_fields(std::wstring_view line) {
  std::vector<std::wstring> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = line.find(kCacheFieldSeparator, start);
    if (at == std::wstring_view::npos) break;
    pieces.emplace_back(line.substr(start, at - start));
    start = at + kCacheFieldSeparator.size();
  }
  pieces.emplace_back(line.substr(start));
  return pieces;
}

std::optional<TDResultCacheLine> parse_result_cache_line(std::wstring_view line) {
  std::vector<std::wstring> pieces = split_cache_fields(line);
  if (pieces.size() != kResultCachePieces) return std::nullopt;
  TDResultCacheLine parsed;
  parsed.file_id = static_cast<std::uint32_t>(parse_decimal_signed(pieces[0]));
  parsed.entry.file_stamp = parse_decimal_unsigned(pieces[1]);
  parsed.entry.status = static_cast<std::int32_t>(parse_decimal_signed(pieces[2]));
  parsed.entry.line = std::move(pieces[3]);
  return parsed;
}

std::wstring format_result_cache_line(std::uint32_t file_id, const TDResultCacheEntry& entry) {
  std::wstring text = std::to_wstring(file_id);
  text += kCacheFieldSeparator;
  text += std::to_wstring(entry.file_stamp);
  text += kCacheFieldSeparator;
  text += std::to_wstring(entry.status);
  text += kCacheFieldSeparator;
  text += entry.line;
  text += L"\r\n";
  return text;
}

std::uint32_t toc_key_hash(std::wstring_view key) { return parse_hex32(key.substr(0, kTocHashDigits)); }

std::optional<TDTocLookupEntry> parse_toc_lookup_line(std::wstring_view line) {
  std::vector<std::wstring> pieces = split_cache_fields(line);
  if (pieces.size() != kTocLookupPieces) return std::nullopt;
  TDTocLookupEntry parsed;
  parsed.hash = parse_hex32(pieces[0]);
  parsed.key = std::move(pieces[1]);
  parsed.answer = std::move(pieces[2]);
  return parsed;
}

std::wstring format_toc_lookup_line(const TDTocLookupEntry& entry) {
  wchar_t hash[9];
  std::swprintf(hash, 9, L"%08X", static_cast<unsigned>(entry.hash));
  std::wstring text = hash;
  text += kCacheFieldSeparator;
  text += entry.key;
  text += kCacheFieldSeparator;
  text += entry.answer;
  text += L"\r\n";
  return text;
}

bool fits_cache_field(std::wstring_view text) {
  return text.find_first_of(L"\r\n") == std::wstring_view::npos &&
         text.find(kCacheFieldSeparator) == std::wstring_view::npos;
}

void append_utf16le(std::string& bytes, std::wstring_view text) {
  for (wchar_t c : text) {
    const auto unit = static_cast<std::uint16_t>(c);
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
}

std::string ignored_albums_file_bytes(const std::vector<std::wstring>& keys) {
  std::string bytes;
  for (const auto& key : keys) {
    bytes += wide_to_utf8(key);
    bytes += "\r\n";
  }
  return bytes;
}
