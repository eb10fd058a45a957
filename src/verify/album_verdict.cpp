#include "verify/album_verdict.h"

#include <algorithm>

#include "verify/verdict_texts.h"

namespace {
constexpr std::wstring_view kPieceSeparator = L": ";

// The line with its text replaced and its "Track %d: " prefix kept.
std::wstring with_text(const std::wstring& line, const wchar_t* text) {
  const std::size_t at = line.find(kPieceSeparator);
  const std::size_t keep = at == std::wstring::npos ? 0 : at + kPieceSeparator.size();
  return line.substr(0, keep) + text;
}

// The text between the first and the second ": " of a line, or the whole
// line when it has no ": ". For "Track 2: Cannot Check: Not CD Quality"
// that is "Cannot Check".
std::wstring second_piece(const std::wstring& line) {
  const std::size_t first = line.find(kPieceSeparator);
  if (first == std::wstring::npos) return line;
  const std::size_t start = first + kPieceSeparator.size();
  const std::size_t second = line.find(kPieceSeparator, start);
  return line.substr(start, second == std::wstring::npos ? std::wstring::npos : second - start);
}

void mark_done(TDAlbumCheck& check) {
  check.finished = true;
  check.has_results = true;
}
}  // namespace

void album_verdict(TDAlbumCheck& check, double average_confidence, bool stop_requested, int cannot_check_count,
                   TDResultCacheTable& cache) {
  auto& statuses = check.statuses;
  auto& lines = check.lines;
  const bool any_accurate = std::find(statuses.begin(), statuses.end(), track_status::kAccurate) != statuses.end();

  for (auto& status : statuses)
    if (status == track_status::kError) status = any_accurate ? track_status::kAccurate : track_status::kInaccurate;

  if (any_accurate && average_confidence <= kMinAverageConfidence) {
    bool weakened = false;
    for (std::size_t i = 0; i < statuses.size(); ++i) {
      if (statuses[i] != track_status::kInaccurate) continue;
      statuses[i] = track_status::kNotEnoughInformation;
      if (i < lines.size()) lines[i] = with_text(lines[i], verdict_text::kNotEnoughInformation);
      weakened = true;
    }
    if (weakened) {
      mark_done(check);
      return;
    }
  }

  if (!any_accurate) {
    if (static_cast<std::size_t>(cannot_check_count) == check.tracks.size() && !lines.empty()) {
      const std::wstring common = second_piece(lines.front());
      const bool all_same = std::all_of(lines.begin(), lines.end(),
                                        [&](const std::wstring& line) { return second_piece(line) == common; });
      if (all_same) check.album_message = common;
    } else {
      for (auto& line : lines) line = verdict_text::kTrackNotPresentOrPressing;
    }
    mark_done(check);
    return;
  }

  if (!stop_requested) {
    for (std::size_t i = 0; i < statuses.size() && i < check.tracks.size(); ++i) {
      const TDTrackCheck& track = check.tracks[i];
      if (track.path.empty()) continue;
      cache.store(track.file_id, track.file_stamp, static_cast<std::int32_t>(statuses[i]),
                  i < lines.size() ? lines[i] : std::wstring());
    }
  }
  mark_done(check);
}
