// The album verdict: after an album pass (or the tag-checksum path) it turns
// errors and weak results into their final statuses and texts, and remembers
// the tracks of a well verified album in the result cache.
#pragma once
#include "verify/album_check.h"
#include "verify/result_cache_table.h"

// Average confidence at or below which inaccurate tracks of an album with
// accurate tracks are "not enough information" rather than inaccurate.
inline constexpr double kMinAverageConfidence = 2.0;

// `stop_requested`: the worker's stop event was signalled (results of an
// interrupted album are not stored). `cannot_check_count`: tracks that the
// pass could not check. Ends with finished and has-results set.
void album_verdict(TDAlbumCheck& check, double average_confidence, bool stop_requested, int cannot_check_count,
                   TDResultCacheTable& cache);
