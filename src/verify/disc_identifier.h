// The disc identifier under which the rip database files a pressing,
// computed from the lengths of its tracks.
//
// Text form: "%03d-%08x-%08x-%08x" (track count, first sum, second sum,
// CDDB-style identifier), then ";" and the decimal length in sectors of
// every track. Several identifiers of one album are joined with "#".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Each slot holds one track length in sectors in its low 32 bits, in track
// order. Returns the empty text for albums of more than 255 tracks (the
// track offsets and the lead-out must fit in 256 table slots).
std::wstring compute_disc_identifier(const std::vector<std::uint64_t>& track_lengths);
