// The texts of the two result tags that the album actions write into audio
// files, and how the album grouping reads them back.
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

// The disc identifier in a TallydiscDiscID value: cut before its last "-".
std::wstring disc_id_from_tag(std::wstring_view value);
// The checksum in a TallydiscResult value: the last space-separated piece
// between the last "[" and the last "]", read as hexadecimal; 0 without one.
std::uint32_t previous_result_from_tag(std::wstring_view value);
