#include "verify/checksum_stream.h"

#include <algorithm>

#include "verify/sample_words.h"

void sum_words(const std::uint32_t* words, std::size_t count, std::uint32_t first_multiplier, std::uint32_t& tdv1,
               std::uint32_t& tdv2) {
  // Low and high halves are gathered apart and joined once: the same sums
  // modulo 2^32, and a loop the compiler can vectorise.
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  std::uint32_t m = first_multiplier;
  for (std::size_t i = 0; i < count; ++i, ++m) {
    const std::uint64_t product = static_cast<std::uint64_t>(m) * words[i];
    low += static_cast<std::uint32_t>(product);
    high += static_cast<std::uint32_t>(product >> 32);
  }
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
