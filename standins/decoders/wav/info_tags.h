// Tags of a WAVE file: the sub-chunks of its LIST/INFO chunk, each
// { 4-byte id, uint32 size, UTF-8 text ending in NUL, pad byte to even }.
// The INFO ids of common fields carry the suite's tag names (INAM title,
// IART artist, IPRD album, ITRK track, ...); other INFO ids travel under
// their own id. A tag without an INFO id is kept in an "ITAG" sub-chunk as
// "name=value".
#pragma once
#include <string>

#include "library/item_list.h"

// Reads the sub-chunks after the "INFO" type of a LIST chunk's data.
void append_info_tags(const std::string& list_data, ItemList& tags);

// The tags as the data of a LIST/INFO chunk ("INFO" and the sub-chunks).
std::string build_info_list(const ItemList& tags);

// Whether a tag stored under `stored_name` is the one the suite calls `name`.
bool info_tag_matches(const std::wstring& stored_name, const std::wstring& name);
