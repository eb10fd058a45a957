#include "verify/check_worker.h"

#include <windows.h>

#include "verify/album_verdict.h"

clsTrdCheckDiscInTD::clsTrdCheckDiscInTD(std::size_t index, const AlbumRecord& album)
    : album_index(index), artist(album.artist), title(album.title) {}

bool clsTrdCheckDiscInTD::StartProcess(clsTDResultCache& cache, bool require_two,
                                       const AlbumPassRunner& run_pass) {
  check.finished = false;
  check.has_results = false;
  check.idle = false;
  const bool started = thread_.start(
      [this, &cache, require_two, run_pass](XEvent stop) {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
        AlbumPassResult result = run_pass(check.tracks, require_two, stop);
        check.statuses = std::move(result.statuses);
        check.lines = std::move(result.lines);
        // Sets finished and has-results last: the driver may then harvest.
        album_verdict(check, result.average_confidence, stop.is_set(), result.cannot_check_count, cache);
      },
      kStopTimeoutMs);
  if (!started) {
    check.finished = true;
    check.has_results = true;
  }
  return started;
}

std::vector<TDTrackCheck> tracks_from_entries(const std::vector<VerificationTrackEntry>& entries) {
  std::vector<TDTrackCheck> tracks;
  tracks.reserve(entries.size());
  for (const auto& e : entries) {
    TDTrackCheck t;
    t.length = e.length;
    t.track_number = e.track_number;
    t.file_id = static_cast<std::uint32_t>(e.file_id);
    t.file_stamp = e.file_stamp;
    t.cache_stamp = e.cache_stamp;
    t.path = e.path;
    tracks.push_back(std::move(t));
  }
  return tracks;
}
