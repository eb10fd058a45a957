// clsTrdCheckDiscInTD: the worker that checks one album on a thread of its
// own: the album pass over every track, then the album verdict. Until it
// sets finished and has-results, only its own thread touches it; after
// that, only the run's driver.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "library/album_records.h"
#include "shell/worker_thread.h"
#include "verify/album_check.h"
#include "verify/result_cache.h"
#include "verify/album_pass.h"

// Runs the album pass over the tracks of one album on the calling thread
// (its decoder slot, disk mutex and abort test on the worker's stop event).
using AlbumPassRunner =
    std::function<AlbumPassResult(const std::vector<TDTrackCheck>& tracks, bool require_two, const XEvent& stop)>;

class clsTrdCheckDiscInTD {
 public:
  // How long destroying a worker waits for its thread.
  static constexpr DWORD kStopTimeoutMs = 5000;

  clsTrdCheckDiscInTD(std::size_t album_index, const AlbumRecord& album);
  ~clsTrdCheckDiscInTD() { thread_.stop(); }
  clsTrdCheckDiscInTD(const clsTrdCheckDiscInTD&) = delete;
  clsTrdCheckDiscInTD& operator=(const clsTrdCheckDiscInTD&) = delete;

  // Clears the flags and starts the thread at idle priority. False when no
  // thread could be started (the worker then stays finished).
  bool StartProcess(clsTDResultCache& cache, bool require_two, const AlbumPassRunner& run_pass);

  TDAlbumCheck check;
  std::wstring identifiers;  // the "#"-joined identifiers whose records were read
  const std::size_t album_index;
  const std::wstring artist;
  const std::wstring title;

 private:
  XWorkerThread thread_;
};

// The worker's tracks from the entries of a track list.
std::vector<TDTrackCheck> tracks_from_entries(const std::vector<VerificationTrackEntry>& entries);
