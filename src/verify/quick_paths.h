// The two quick paths that answer an album without decoding it: from the
// result cache (every track's file unchanged since it verified), and from
// the checksums that earlier runs wrote into the files' result tags.
#pragma once
#include "library/album_records.h"
#include "verify/album_check.h"
#include "verify/result_cache_table.h"

// Takes every track's status and line from the result cache. A track
// without a file is status 4 with an empty line; a track whose file has no
// entry, or an entry with another file stamp, ends the path as failed (the
// tracks before it keep what they got). Sets finished, has-results, clears
// idle either way. True when there is a track and every one was answered.
bool result_cache_path(TDAlbumCheck& check, const TDResultCacheTable& cache);

// Only when the album's tag-checksum path is possible: compares each
// track's previous result number with its database checksums (passing over
// confidence 1 with `require_two`). When anything matched, the album verdict
// follows and the path succeeds.
bool tag_checksum_path(const AlbumRecord& album, TDAlbumCheck& check, bool require_two, TDResultCacheTable& cache);
