#include "verify/track_match.h"

#include <cwchar>

namespace {
std::wstring verified_text(const wchar_t* kind, int confidence, std::int32_t offset, std::uint32_t checksum) {
  wchar_t text[128];
  std::swprintf(text, sizeof text / sizeof text[0], L"Tallydisc Verified Confidence %d, Pressing Offset %+d [%ls CRC %08X]",
                confidence, static_cast<int>(offset), kind, checksum);
  return text;
}
}  // namespace

TrackMatch match_track(const std::vector<TDTrackEntry>& entries, const std::vector<TDOffsetCandidate>& candidates,
                       bool require_two, std::int32_t& carried_offset) {
  TrackMatch m;
  int tdv2_text_confidence = 0;
  for (const TDTrackEntry& e : entries) {
    if (require_two && e.confidence == 1) continue;
    const int confidence = e.confidence;
    for (const TDOffsetCandidate& c : candidates) {
      if (e.checksum == c.tdv2_sum) {
        m.matched = true;
        if (confidence > m.best_confidence) {
          m.best_confidence = confidence;
          carried_offset = c.offset;
        }
        if (confidence > tdv2_text_confidence) {
          m.text = verified_text(L"TDv2", confidence, c.offset, e.checksum);
          tdv2_text_confidence = confidence;
        }
      }
      if (e.checksum == c.tdv1_sum) {
        m.matched = true;
        if (confidence > m.best_confidence) {
          if (m.text.empty()) m.text = verified_text(L"TDv1", confidence, c.offset, e.checksum);
          m.best_confidence = confidence;
          carried_offset = c.offset;
        }
      }
    }
  }
  return m;
}

std::wstring track_line(std::int32_t track_number, const std::wstring& text) {
  return L"Track " + std::to_wstring(track_number) + L": " + text;
}
