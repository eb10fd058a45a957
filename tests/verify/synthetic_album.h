// Synthetic albums for the checksum tests: a pressing's audio as a function
// of the sample index, rips shifted against it, and the database's sums
// computed straight from the definition (one word at a time, global
// indexes, no buffers), independent of the code under test.
#pragma once
#include <cstdint>
#include <vector>

namespace synthetic {

constexpr std::int64_t kSector = 588;
constexpr std::int64_t kEdge = 2940;

// Word g of the pressing (any index, negative too: what precedes the album).
inline std::uint32_t pressing_word(std::int64_t g, std::uint32_t seed = 1) {
  std::uint64_t x = static_cast<std::uint64_t>(g) * 0x9E3779B97F4A7C15ull + seed;
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 29;
  return static_cast<std::uint32_t>(x);
}

struct Album {
  std::vector<std::int32_t> lengths;  // sectors
  std::uint32_t seed = 1;

  std::int64_t start_of(std::size_t track) const {
    std::int64_t s = 0;
    for (std::size_t i = 0; i < track; ++i) s += lengths[i] * kSector;
    return s;
  }
  // The rip of one track when the rip is shifted by `offset` samples against
  // the pressing: rip word x is pressing word x - offset.
  std::vector<std::uint32_t> rip_track(std::size_t track, std::int32_t offset) const {
    const std::int64_t start = start_of(track);
    std::vector<std::uint32_t> words(static_cast<std::size_t>(lengths[track] * kSector));
    for (std::size_t i = 0; i < words.size(); ++i)
      words[i] = pressing_word(start + static_cast<std::int64_t>(i) - offset, seed);
    return words;
  }

  struct Sums {
    std::uint32_t v1 = 0, v2 = 0;
  };
  // The pressing's TDv1 and TDv2 of a track: multipliers 1..L x 588 over its
  // own words; the album's first track leaves out m < 2940 and its last
  // track m > L x 588 - 2940.
  Sums pressing_sums(std::size_t track) const {
    const std::int64_t start = start_of(track);
    const std::int64_t n = lengths[track] * kSector;
    Sums s;
    for (std::int64_t m = 1; m <= n; ++m) {
      if (track == 0 && m < kEdge) continue;
      if (track + 1 == lengths.size() && m > n - kEdge) continue;
      const std::uint64_t p = static_cast<std::uint64_t>(m) * pressing_word(start + m - 1, seed);
      s.v1 += static_cast<std::uint32_t>(p);
      s.v2 += static_cast<std::uint32_t>(p) + static_cast<std::uint32_t>(p >> 32);
    }
    return s;
  }
  // The pressing's checksum of sector 450 of a track.
  std::uint32_t pressing_sector450(std::size_t track) const {
    const std::int64_t first = start_of(track) + 450 * kSector;
    std::uint32_t sum = 0;
    for (std::int64_t i = 1; i <= kSector; ++i) sum += static_cast<std::uint32_t>(i) * pressing_word(first + i - 1, seed);
    return sum;
  }
};

}  // namespace synthetic
