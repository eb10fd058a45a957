// FLAC tags (Vorbis comment fields "NAME=value") under the suite's names:
//   TRACKNUMBER n with TRACKTOTAL or TOTALTRACKS t  ->  "track" = "n/t"
//   DISCNUMBER n with DISCTOTAL or TOTALDISCS t     ->  "disc"  = "n/t"
//   ALBUMARTIST or "ALBUM ARTIST"                   ->  "album artist"
//   anything else                                   ->  its name as stored
// Several fields of one name make one item, their values joined by CR, at
// the place of the first. Writing maps back, upper-case names, one field
// per CR-separated value.
#pragma once
#include <string>
#include <vector>

#include "library/item_list.h"

ItemList vorbis_fields_to_items(const std::vector<std::string>& fields);

// The fields that store one item.
std::vector<std::string> item_to_vorbis_fields(const Item& item);

// Whether a field ("NAME=value") is part of the tag the suite calls `name`.
bool vorbis_field_belongs_to(const std::string& field, const std::wstring& name);

// A field name is printable ASCII without '=' (0x20-0x7D).
bool valid_vorbis_name(const std::wstring& name);
