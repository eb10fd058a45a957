#include "verify/checksum_stream.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "verify/sample_words.h"

namespace {
// m x s for the words left over after the vector loop.
void sum_words_scalar(const std::uint32_t* words, std::size_t count, std::uint32_t m, std::uint32_t& low,
                      std::uint32_t& high) {
  for (std::size_t i = 0; i < count; ++i, ++m) {
    const std::uint64_t product = static_cast<std::uint64_t>(m) * words[i];
    low += static_cast<std::uint32_t>(product);
    high += static_cast<std::uint32_t>(product >> 32);
  }
}


#if defined(__x86_64__) || defined(__i386__)
// The same steps as the SSE2 loop below, eight words at a time; chosen at
// run time on processors that have AVX2.
__attribute__((target("avx2"))) std::size_t sum_words_avx2(const std::uint32_t* words, std::size_t count,
                                                           std::uint32_t first, std::uint32_t& low,
                                                           std::uint32_t& high) {
  __m256i sums_even = _mm256_setzero_si256();
  __m256i sums_odd = _mm256_setzero_si256();
  __m256i m = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(first)), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i step = _mm256_set1_epi32(8);
  std::size_t done = 0;
  for (; done + 8 <= count; done += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words + done));
    sums_even = _mm256_add_epi32(sums_even, _mm256_mul_epu32(s, m));
    sums_odd = _mm256_add_epi32(sums_odd, _mm256_mul_epu32(_mm256_srli_epi64(s, 32), _mm256_srli_epi64(m, 32)));
    m = _mm256_add_epi32(m, step);
  }
  alignas(32) std::uint32_t lanes[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), _mm256_add_epi32(sums_even, sums_odd));
  for (int i = 0; i < 8; i += 2) {
    low += lanes[i];
    high += lanes[i + 1];
  }
  return done;
}

bool has_avx2() {
  static const bool yes = __builtin_cpu_supports("avx2");
  return yes;
}
#endif
}  // namespace

void sum_words(const std::uint32_t* words, std::size_t count, std::uint32_t first_multiplier, std::uint32_t& tdv1,
               std::uint32_t& tdv2) {
  // The low and high halves of the products are summed apart (each modulo
  // 2^32) and joined once at the end.
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  std::size_t done = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (has_avx2()) done = sum_words_avx2(words, count, first_multiplier, low, high);
#endif
#if defined(__SSE2__)
  // Four words a step: two 32 x 32 -> 64-bit products for the even lanes,
  // two for the odd ones. Each product's two halves land in neighbouring
  // 32-bit lanes of an accumulator, so 32-bit lane adds keep the low and
  // the high sums apart without carries between them.
  __m128i sums_even = _mm_setzero_si128();
  __m128i sums_odd = _mm_setzero_si128();
  const std::uint32_t next = first_multiplier + static_cast<std::uint32_t>(done);
  __m128i m = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(next)), _mm_setr_epi32(0, 1, 2, 3));
  const __m128i step = _mm_set1_epi32(4);
  for (; done + 4 <= count; done += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + done));
    sums_even = _mm_add_epi32(sums_even, _mm_mul_epu32(s, m));
    sums_odd = _mm_add_epi32(sums_odd, _mm_mul_epu32(_mm_srli_epi64(s, 32), _mm_srli_epi64(m, 32)));
    m = _mm_add_epi32(m, step);
  }
  alignas(16) std::uint32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), _mm_add_epi32(sums_even, sums_odd));
  low += lanes[0] + lanes[2];
  high += lanes[1] + lanes[3];
#endif
  sum_words_scalar(words + done, count - done, first_multiplier + static_cast<std::uint32_t>(done), low, high);
  tdv1 += low;
  tdv2 += low + high;
}

ChecksumStream::ChecksumStream(const std::vector<std::int32_t>& offsets, std::int32_t length, bool first, bool last) {
  const std::int64_t words = std::max<std::int64_t>(length, 0) * kWordsPerSector;
  const auto edge = static_cast<std::int64_t>(kEdgeWords);
  for (std::int32_t offset : offsets) {
    TDOffsetCandidate c;
    c.offset = offset;
    const std::int64_t start = edge + offset;
    c.window_start = static_cast<std::uint32_t>(start);
    c.window_end = static_cast<std::uint32_t>(start + words);
    const std::int64_t lowest = first ? edge : 0;
    const std::int64_t highest = last ? words - edge : words;
    c.lowest_multiplier = static_cast<std::int32_t>(lowest);
    c.highest_multiplier = static_cast<std::int32_t>(highest);
    candidates_.push_back(c);
    // Multipliers start at 1, so a lowest bound of 0 sums from the start.
    const std::int64_t begin = start + std::max<std::int64_t>(lowest, 1) - 1;
    const std::int64_t end = std::min(start + words, start + highest);
    spans_.push_back({static_cast<std::uint64_t>(std::max<std::int64_t>(begin, 0)),
                      static_cast<std::uint64_t>(std::max<std::int64_t>(end, begin))});
  }
}

void ChecksumStream::feed(const std::uint32_t* words, std::size_t count) {
  const std::uint64_t block_end = position_ + count;
  for (std::size_t c = 0; c < candidates_.size(); ++c) {
    const std::uint64_t from = std::max(position_, spans_[c].begin);
    const std::uint64_t to = std::min(block_end, spans_[c].end);
    if (from >= to) continue;
    auto& candidate = candidates_[c];
    const auto multiplier = static_cast<std::uint32_t>(from - candidate.window_start + 1);
    sum_words(words + (from - position_), static_cast<std::size_t>(to - from), multiplier, candidate.tdv1_sum,
              candidate.tdv2_sum);
  }
  position_ = block_end;
}
