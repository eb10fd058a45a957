#include "verify/quick_paths.h"

#include <cwchar>

#include "verify/album_verdict.h"
#include "verify/track_match.h"

namespace {
// Entries of this confidence are passed over when two or more are required.
constexpr std::uint8_t kSingleSubmission = 1;

const TrackRecord* track_numbered(const AlbumRecord& album, std::int32_t number) {
  for (const auto& track : album.tracks)
    if (track.track_number == number) return &track;
  return nullptr;
}

std::wstring verified_text(int confidence, std::uint32_t checksum) {
  wchar_t text[80];
  std::swprintf(text, 80, L"Tallydisc Verified Confidence %d [CRC %08X]", confidence, static_cast<unsigned>(checksum));
  return text;
}
}  // namespace

bool result_cache_path(TDAlbumCheck& check, const TDResultCacheTable& cache) {
  check.statuses.clear();
  check.lines.clear();
  bool answered = !check.tracks.empty();
  for (const auto& track : check.tracks) {
    if (track.path.empty()) {
      check.statuses.push_back(track_status::kNoFile);
      check.lines.emplace_back();
      continue;
    }
    const auto entry = cache.find(track.file_id);
    if (!entry || entry->file_stamp != track.file_stamp) {
      answered = false;
      break;
    }
    check.statuses.push_back(static_cast<std::uint32_t>(entry->status));
    check.lines.push_back(entry->line);
  }
  check.finished = true;
  check.has_results = true;
  check.idle = false;
  return answered;
}

bool tag_checksum_path(const AlbumRecord& album, TDAlbumCheck& check, bool require_two, TDResultCacheTable& cache) {
  if (!album.tag_checksum_possible) return false;
  check.statuses.clear();
  check.lines.clear();
  bool any_match = false;
  int confidence_sum = 0;
  int verified = 0;
  for (std::size_t j = 0; j < check.tracks.size(); ++j) {
    const TDTrackCheck& track = check.tracks[j];
    const auto number = static_cast<std::int32_t>(j + 1);
    const TrackRecord* album_track = track_numbered(album, number);
    if (album_track == nullptr || track.path.empty()) {
      check.statuses.push_back(track_status::kNoFile);
      check.lines.emplace_back();
      continue;
    }
    int best = 0;
    std::wstring text;
    for (const auto& entry : track.entries) {
      if (require_two && entry.confidence == kSingleSubmission) continue;
      if (entry.checksum != album_track->tag_checksum) continue;
      any_match = true;
      if (entry.confidence > best) {
        best = entry.confidence;
        text = verified_text(best, album_track->tag_checksum);
      }
    }
    if (!text.empty()) {
      check.statuses.push_back(track_status::kAccurate);
      confidence_sum += best;
      ++verified;
    } else {
      check.statuses.push_back(track_status::kInaccurate);
      text = track_text::kInaccurate;
    }
    check.lines.push_back(track_line(album_track->track_number, text));
  }
  if (!any_match) return false;
  const double average = verified == 0 ? 0.0 : static_cast<double>(confidence_sum) / verified;
  album_verdict(check, average, false, 0, cache);
  return true;
}
