// The unit of every checksum: one stereo frame of 16-bit PCM read as a
// little-endian 32-bit word (left sample in bits 0-15, right in 16-31).
#pragma once
#include <cstddef>
#include <cstdint>

// A sector (frame) of the compact disc.
inline constexpr std::uint32_t kWordsPerSector = 588;
// A rip can be shifted against its pressing by up to this many samples.
inline constexpr std::int32_t kMaxPressingOffset = 2351;
// The neighbouring-track buffers hold five sectors: enough for the largest
// offset, and the span that the first and last track leave out.
inline constexpr std::size_t kEdgeWords = 5 * kWordsPerSector;
