// Matching a track's sums against its database entries, and the texts that
// say how a track fared.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "verify/checksum_stream.h"
#include "verify/track_check.h"

// Tracks of at most this many sectors are too short to be told apart.
inline constexpr std::int32_t kMaxTooShortSectors = 451;

namespace track_text {
inline constexpr wchar_t kNoDecoder[] = L"Unable to Find Decoder";
inline constexpr wchar_t kOpenFailed[] = L"Unable to Open File";
inline constexpr wchar_t kCorrupted[] = L"File Corrupted";
inline constexpr wchar_t kTooShort[] = L"Track too short for Tallydisc Verification";
inline constexpr wchar_t kNotCdQuality[] = L"Cannot Check: Not CD Quality";
inline constexpr wchar_t kInaccurate[] = L"Track InAccurate";
}  // namespace track_text

struct TrackMatch {
  bool matched = false;
  int best_confidence = 0;
  std::wstring text;
};

// Tests every entry, in order, against every candidate: TDv2 first, then
// TDv1. Any equal sum makes the track match; the highest confidence wins
// and sets `carried_offset` to its candidate's offset. A TDv2 text always
// wins over a TDv1 text; a confidence of 0 matches without a text. With
// `require_two`, entries of confidence 1 are passed over.
TrackMatch match_track(const std::vector<TDTrackEntry>& entries, const std::vector<TDOffsetCandidate>& candidates,
                       bool require_two, std::int32_t& carried_offset);

// "Track %d: %s"
std::wstring track_line(std::int32_t track_number, const std::wstring& text);
