// The end of one album checked on its own, outside a verification run (the
// console front end's check): the album verdict and the harvest, with no
// result cache kept.
#pragma once
#include <string>
#include <vector>

#include "verify/album_check.h"

struct TDAlbumConclusion {
  // The track lines after the verdict and the harvest.
  std::vector<std::wstring> lines;
  // "album: LIST[: MESSAGE]" (album_summary_line).
  std::wstring summary;
};

// `check` holds the tracks and the statuses and lines of an album pass.
TDAlbumConclusion conclude_album(TDAlbumCheck& check, double average_confidence, int cannot_check_count);
