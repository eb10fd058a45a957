#include "verify/offset_search.h"

std::uint32_t sector_checksum(const std::uint32_t* words) {
  std::uint32_t sum = 0;
  for (std::uint32_t i = 1; i <= kWordsPerSector; ++i) sum += i * words[i - 1];
  return sum;
}

std::vector<std::int32_t> find_offset_candidates(const std::uint32_t* window,
                                                 const std::vector<TDTrackEntry>& entries) {
  std::vector<std::int32_t> found;
  const std::uint32_t* sector450 = window + kEdgeWords;
  for (std::int32_t k = 0; k <= kMaxPressingOffset; ++k) {
    const std::uint32_t forward = sector_checksum(sector450 + k);
    const std::uint32_t backward = k > 0 ? sector_checksum(sector450 - k) : 0;
    for (const TDTrackEntry& e : entries) {
      if (e.offset_checksum == 0) continue;
      if (forward == e.offset_checksum) found.push_back(k);
      if (backward != 0 && backward == e.offset_checksum) found.push_back(-k);
    }
  }
  return found;
}
