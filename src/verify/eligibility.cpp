#include "verify/eligibility.h"

#include <unordered_set>

#include "verify/verdict_texts.h"

namespace {
// Samples in one CD sector.
constexpr std::int64_t kSamplesPerSector = 588;

void set_message_if_empty(AlbumRecord& album, const wchar_t* message) {
  if (album.message.empty()) album.message = message;
}
}  // namespace

bool album_is_complete(const AlbumRecord& album) {
  const auto count = static_cast<std::int64_t>(album.tracks.size());
  if (album.total_tracks != 0 && album.total_tracks != count) return false;
  std::vector<bool> seen(album.tracks.size() + 1, false);
  for (const auto& track : album.tracks) {
    if (track.track_number == 0) return true;  // without numbers nothing can be missing
    if (track.track_number > 0 && track.track_number <= count) seen[static_cast<std::size_t>(track.track_number)] = true;
  }
  for (std::size_t n = 1; n < seen.size(); ++n)
    if (!seen[n]) return false;
  return true;
}

std::vector<std::size_t> check_eligibility(std::vector<AlbumRecord>& albums,
                                           const std::vector<std::wstring>& ignored_keys, bool quick_path_allowed,
                                           const std::function<bool()>& stop_requested, TDAlbumLists& lists) {
  const std::unordered_set<std::wstring> ignored(ignored_keys.begin(), ignored_keys.end());
  std::vector<std::size_t> to_check;
  for (std::size_t i = 0; i < albums.size(); ++i) {
    if (stop_requested()) break;
    AlbumRecord& album = albums[i];
    if (ignored.count(album.key) != 0) {
      lists.user_excluded.add(i);
      continue;
    }
    album.lossless = true;
    album.lengths_match = true;
    album.tag_checksum_possible = quick_path_allowed;
    for (const auto& track : album.tracks) {
      if (track.tag_checksum == 0) album.tag_checksum_possible = false;
      if (!track.lossless_cd_quality) album.lossless = false;
      if (track.sample_count != static_cast<std::int64_t>(track.length_sectors) * kSamplesPerSector)
        album.lengths_match = false;
    }
    album.complete = album_is_complete(album);
    album.checkable = album.complete && album.lossless && album.lengths_match;
    if (!album.tag_checksum_possible) {
      if (!album.lossless) set_message_if_empty(album, verdict_text::kNotLossless);
      if (!album.lengths_match) set_message_if_empty(album, verdict_text::kDifferentLength);
      if (!album.complete) set_message_if_empty(album, verdict_text::kIncomplete);
    }
    if (album.message.empty()) {
      to_check.push_back(i);
    } else {
      lists.cannot_check.add(i);
    }
  }
  return to_check;
}
