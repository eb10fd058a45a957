// The harvest: a finished worker's statuses and lines go into its album
// record, and the album into the list that the main window counts it in.
#pragma once
#include <cstddef>
#include <string>

#include "library/album_records.h"
#include "verify/album_check.h"
#include "verify/album_lists.h"

void harvest(const TDAlbumCheck& check, std::size_t album_index, AlbumRecord& album, TDAlbumLists& lists);

// "album: LIST" with the list the album is in (accurate, errors,
// not-present, cannot-check), then ": MESSAGE" when it has a message; the
// summary that the console front end prints after an album's track lines.
std::wstring album_summary_line(const TDAlbumLists& lists, std::size_t album_index, const AlbumRecord& album);
