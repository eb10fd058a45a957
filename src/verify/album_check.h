// One album inside a verification worker: its tracks, and what the album
// pass, the quick paths and the album verdict write for it. The worker's
// own thread writes it until it sets finished and has-results; after that
// only the run's driver reads it.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "verify/track_check.h"

struct TDAlbumCheck {
  std::vector<TDTrackCheck> tracks;
  // One track_status code and one "Track %d: %s" line per track handled.
  std::vector<std::uint32_t> statuses;
  std::vector<std::wstring> lines;
  // Set only by the album verdict; empty = none.
  std::wstring album_message;

  // A new worker is finished, without results, and idle. The worker's
  // thread sets finished and has-results last; the driver polls them.
  std::atomic<bool> finished{true};
  std::atomic<bool> has_results{false};
  std::atomic<bool> idle{true};
};
