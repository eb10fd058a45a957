// The pressing-offset search: which alignments of a track are worth summing,
// found by comparing sector 450 of the rip, shifted by every possible offset,
// with the sector-450 checksums of the database entries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "verify/sample_words.h"
#include "verify/track_check.h"

// The sector whose checksum the database keeps for the search.
inline constexpr std::uint32_t kOffsetSearchSector = 450;
// Only tracks longer than this are searched: the shifted sector must lie
// well inside the track.
inline constexpr std::int32_t kMinSectorsForOffsetSearch = 455;
// The search reads the words of sector 450 with the largest offset on both
// sides: B[kEdgeWords] is the first word of sector 450.
inline constexpr std::size_t kOffsetSearchWords = 2 * kEdgeWords;
inline constexpr std::size_t kOffsetSearchSkipWords = kOffsetSearchSector * kWordsPerSector - kEdgeWords;

// Σ i × words[i − 1] for i = 1..588, modulo 2^32.
std::uint32_t sector_checksum(const std::uint32_t* words);

// The offsets whose shifted sector 450 equals an entry's offset checksum, in
// rising distance from 0 (+k before −k), entries in order within one
// distance; entries without an offset checksum take no part. `window` holds
// kOffsetSearchWords words. May hold duplicates; may be empty.
std::vector<std::int32_t> find_offset_candidates(const std::uint32_t* window, const std::vector<TDTrackEntry>& entries);
