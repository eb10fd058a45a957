// The texts of the two result tags that the album actions write into audio
// files. The album grouping reads them back (library/album_tag_rules.h).
//   TALLYDISCRESULT  "Tallydisc: Accurate (confidence %i)   [XXXXXXXX]" for a
//                    verified track, otherwise the track's text itself
//   TALLYDISCDISCID  "<disc identifier text>-<track number>"
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// From a track's text (its line without the "Track %d: " prefix).
std::wstring result_tag_text(std::wstring_view track_text);
std::wstring disc_id_tag_text(std::wstring_view disc_id, std::int32_t track_number);
