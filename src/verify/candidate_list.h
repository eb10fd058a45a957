// The offsets that the checksum pass of one track sums.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// At most this many alignments are summed per track.
inline constexpr std::size_t kMaxCandidates = 16;
// The carried offset before any track of the album has matched.
inline constexpr std::int32_t kNoCarriedOffset = -12345;

// The search's offsets ({0} when it found none), then the offset that matched
// on an earlier track; first occurrences kept, cut to kMaxCandidates.
std::vector<std::int32_t> build_candidate_list(const std::vector<std::int32_t>& found, std::int32_t carried_offset);
