// How the grouping reads single tags and properties of a track.
#pragma once
#include <cstdint>
#include <string_view>

#include "library/index_tables.h"

// A non-zero decimal number, or "yes" / "true" in any ASCII case.
bool is_true_value(std::wstring_view value);

// 2 channels, 16 bits, 44100 Hz, and an "Audio Quality" that says
// "perfect" or "lossless" in any ASCII case.
bool is_lossless_cd_quality(const PropertyHeader& header, std::wstring_view audio_quality);

// "Sample Count" with every character but 0-9 dropped (thousands
// separators), as a decimal number; 0 when empty.
std::int64_t sample_count_from_text(std::wstring_view text);

// The decimal number of a "track" tag ("3/12" gives 3) and the total after
// its first "/" (0 without one).
std::int32_t track_number_from_tag(std::wstring_view value);
std::int32_t track_total_from_tag(std::wstring_view value);

// The previous result number in a "TallydiscResult" tag: the last
// space-separated piece between the last "[" and the last "]", read as
// hexadecimal; 0 when any of it is missing.
std::uint32_t tag_checksum_from_result(std::wstring_view value);

// The disc identifier in a "TallydiscDiscID" tag: the value cut before its
// last "-" (which precedes the track number); the whole value without one.
std::wstring_view disc_id_from_tag(std::wstring_view value);
