// Which albums a run may check: excluded albums are set aside, and albums
// that are not lossless CD quality, have tracks of the wrong length or are
// incomplete get a "Cannot Check: " message, unless every track carries a
// previous result that the tag-checksum path may still confirm.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "library/album_records.h"
#include "verify/album_lists.h"

// Sets the eligibility flags and messages of every album, fills the
// user-excluded and cannot-check lists and returns the albums to check, in
// album order. `quick_path_allowed` is the setting
// TD-NoQuickLookupBasedOnCRCInTag being 0. Stops early, quietly, once
// `stop_requested` says so.
std::vector<std::size_t> check_eligibility(std::vector<AlbumRecord>& albums,
                                           const std::vector<std::wstring>& ignored_keys, bool quick_path_allowed,
                                           const std::function<bool()>& stop_requested, TDAlbumLists& lists);

// True when the tracks' numbers and the album's track total say that no
// track is missing.
bool album_is_complete(const AlbumRecord& album);
