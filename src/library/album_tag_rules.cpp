#include "library/album_tag_rules.h"

#include <limits>

#include "library/number_text.h"
#include "library/text_convert.h"

namespace {
constexpr std::uint16_t kCdChannels = 2;
constexpr std::uint16_t kCdBitsPerSample = 16;
constexpr std::uint32_t kCdSampleRate = 44100;

constexpr std::wstring_view kLosslessWords[] = {L"perfect", L"lossless"};
constexpr std::wstring_view kTrueWords[] = {L"yes", L"true"};

std::int32_t to_int32(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}
}  // namespace

bool is_true_value(std::wstring_view value) {
  if (parse_decimal_signed(value) != 0) return true;
  for (std::wstring_view word : kTrueWords)
    if (equals_ascii_nocase(value, word)) return true;
  return false;
}

bool is_lossless_cd_quality(const PropertyHeader& header, std::wstring_view audio_quality) {
  if (header.channels() != kCdChannels || header.bits_per_sample() != kCdBitsPerSample ||
      header.sample_rate() != kCdSampleRate)
    return false;
  const std::wstring quality = ascii_lowercase(audio_quality);
  for (std::wstring_view word : kLosslessWords)
    if (quality.find(word) != std::wstring::npos) return true;
  return false;
}

std::int64_t sample_count_from_text(std::wstring_view text) {
  std::wstring digits;
  for (wchar_t c : text)
    if (c >= L'0' && c <= L'9') digits.push_back(c);
  const std::uint64_t count = parse_decimal_unsigned(digits);
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(count > kMax ? kMax : count);
}

std::int32_t track_number_from_tag(std::wstring_view value) { return to_int32(parse_decimal_signed(value)); }

std::int32_t track_total_from_tag(std::wstring_view value) {
  const std::size_t slash = value.find(L'/');
  if (slash == std::wstring_view::npos) return 0;
  return to_int32(parse_decimal_signed(value.substr(slash + 1)));
}

std::uint32_t tag_checksum_from_result(std::wstring_view value) {
  const std::size_t open = value.rfind(L'[');
  const std::size_t close = value.rfind(L']');
  if (open == std::wstring_view::npos || close == std::wstring_view::npos || open > close) return 0;
  const std::wstring_view inside = value.substr(open + 1, close - open - 1);
  const std::size_t space = inside.rfind(L' ');
  return parse_hex32(space == std::wstring_view::npos ? inside : inside.substr(space + 1));
}

std::wstring_view disc_id_from_tag(std::wstring_view value) {
  const std::size_t dash = value.rfind(L'-');
  return dash == std::wstring_view::npos ? value : value.substr(0, dash);
}
