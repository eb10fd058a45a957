#include "verify/offset_search.h"

std::uint32_t sector_checksum(const std::uint32_t* words) {
  std::uint32_t sum = 0;
  for (std::uint32_t i = 1; i <= kWordsPerSector; ++i) sum += i * words[i - 1];
  return sum;
}

std::vector<std::int32_t> find_offset_candidates(const std::uint32_t* window,
                                                 const std::vector<TDTrackEntry>& entries) {
  // The sums of neighbouring shifts differ by a few words, so each shift
  // costs a few operations instead of 588 products (all modulo 2^32):
  //   F(k+1) = F(k) - S(k) + 588 b[k+588],  S(k+1) = S(k) - b[k] + b[k+588]
  //   R(k+1) = R(k) + T(k+1) - 588 b[587-k], T(k+1) = T(k) + b[-k-1] - b[587-k]
  // where b is sector 450 and S, T the plain sums of the two windows.
  const std::uint32_t* b = window + kEdgeWords;
  constexpr std::uint32_t n = kWordsPerSector;
  constexpr std::ptrdiff_t span = kWordsPerSector;
  std::uint32_t forward = sector_checksum(b);
  std::uint32_t forward_plain = 0;
  for (std::uint32_t i = 0; i < n; ++i) forward_plain += b[i];
  std::uint32_t backward = forward;
  std::uint32_t backward_plain = forward_plain;

  std::vector<std::int32_t> found;
  for (std::int32_t k = 0; k <= kMaxPressingOffset; ++k) {
    if (k > 0) {
      const std::ptrdiff_t d = k;
      forward = forward - forward_plain + n * b[d - 1 + span];
      forward_plain = forward_plain - b[d - 1] + b[d - 1 + span];
      backward_plain = backward_plain + b[-d] - b[span - d];
      backward = backward + backward_plain - n * b[span - d];
    }
    const std::uint32_t backward_sum = k > 0 ? backward : 0;
    for (const TDTrackEntry& e : entries) {
      if (e.offset_checksum == 0) continue;
      if (forward == e.offset_checksum) found.push_back(k);
      if (backward_sum != 0 && backward_sum == e.offset_checksum) found.push_back(-k);
    }
  }
  return found;
}
