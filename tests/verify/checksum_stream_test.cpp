#include "verify/checksum_stream.h"

#include <gtest/gtest.h>

#include "verify/candidate_list.h"
#include "verify/offset_search.h"
#include "verify/synthetic_album.h"

namespace {
// Sums of a one-track album of 10 sectors at offset 0 after changing the
// track word whose multiplier is m.
std::pair<std::uint32_t, std::uint32_t> sums_with_word_changed(std::int64_t m) {
  std::vector<std::uint32_t> stream(synthetic::kEdge + 5880 + synthetic::kEdge, 0);
  for (std::size_t i = 0; i < 5880; ++i) stream[synthetic::kEdge + i] = synthetic::pressing_word(static_cast<int>(i));
  if (m > 0) stream[synthetic::kEdge + m - 1] ^= 0x10001;
  ChecksumStream s({0}, 10, true, true);
  s.feed(stream.data(), stream.size());
  return {s.candidates()[0].tdv1_sum, s.candidates()[0].tdv2_sum};
}
}  // namespace

TEST(ChecksumStream, OneTrackAlbumLeavesOutBothEdges) {
  const auto base = sums_with_word_changed(0);
  const std::int64_t n = 5880;
  for (std::int64_t m : {std::int64_t{1}, std::int64_t{2939}, n - 2939, n}) EXPECT_EQ(sums_with_word_changed(m), base) << m;
  for (std::int64_t m : {std::int64_t{2940}, n - 2940}) {
    const auto changed = sums_with_word_changed(m);
    EXPECT_NE(changed.first, base.first) << m;
    EXPECT_NE(changed.second, base.second) << m;
  }
}

TEST(ChecksumStream, TheHighHalfOfEveryProductGoesIntoTDv2) {
  // Multipliers 2940 and 2941 of a first track: (2940 + 2941) x 0xFFFFFFFF.
  std::vector<std::uint32_t> stream(2940 + 2941, 0);
  stream[2940 + 2939] = stream[2940 + 2940] = 0xFFFFFFFF;
  ChecksumStream s({0}, 100, true, false);
  s.feed(stream.data(), stream.size());
  const std::uint64_t p1 = 2940ull * 0xFFFFFFFF, p2 = 2941ull * 0xFFFFFFFF;
  EXPECT_EQ(s.candidates()[0].tdv1_sum, static_cast<std::uint32_t>(p1 + p2));
  EXPECT_EQ(s.candidates()[0].tdv2_sum,
            static_cast<std::uint32_t>(static_cast<std::uint32_t>(p1) + (p1 >> 32) + static_cast<std::uint32_t>(p2) + (p2 >> 32)));
}

TEST(CandidateList, SearchResultsThenTheCarriedOffset) {
  std::vector<std::int32_t> seventeen;
  for (int i = 0; i < 17; ++i) seventeen.push_back(i + 1);
  const std::vector<std::int32_t> sixteen(seventeen.begin(), seventeen.end() - 1);
  struct Case {
    std::vector<std::int32_t> found;
    std::int32_t carried;
    std::vector<std::int32_t> expected;
  } cases[] = {
      {{}, kNoCarriedOffset, {0}},
      {{}, 30, {0, 30}},
      {{}, 0, {0}},
      {{5, -5, 5, 12}, -5, {5, -5, 12}},
      {seventeen, 99, sixteen},
      {sixteen, 99, sixteen},
  };
  for (const auto& c : cases) EXPECT_EQ(build_candidate_list(c.found, c.carried), c.expected);
}

TEST(ChecksumStream, KernelMatchesTheDefinitionForEveryLengthAndMultiplier) {
  const auto words = [] {
    std::vector<std::uint32_t> w(64);
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = synthetic::pressing_word(static_cast<int>(i), 7);
    w[3] = 0xFFFFFFFF;
    return w;
  }();
  for (std::uint32_t first : {1u, 2940u, 0xFFFFFFF0u}) {
    for (std::size_t start = 0; start < 3; ++start) {
      for (std::size_t count = 0; count + start <= words.size(); ++count) {
        std::uint32_t v1 = 7, v2 = 9, want1 = 7, want2 = 9;
        std::uint32_t m = first;
        for (std::size_t i = 0; i < count; ++i, ++m) {
          const std::uint64_t p = static_cast<std::uint64_t>(m) * words[start + i];
          want1 += static_cast<std::uint32_t>(p);
          want2 += static_cast<std::uint32_t>(p) + static_cast<std::uint32_t>(p >> 32);
        }
        sum_words(words.data() + start, count, first, v1, v2);
        ASSERT_EQ(v1, want1) << first << " " << start << " " << count;
        ASSERT_EQ(v2, want2) << first << " " << start << " " << count;
      }
    }
  }
}

TEST(OffsetSearch, FindsEveryShiftOfSector450InRisingDistance) {
  std::vector<std::uint32_t> window(kOffsetSearchWords);
  for (std::size_t i = 0; i < window.size(); ++i) window[i] = synthetic::pressing_word(static_cast<int>(i), 3);
  // Sector 450 shifted by k, summed from the definition.
  const auto shifted = [&](int k) {
    std::uint32_t sum = 0;
    for (std::uint32_t i = 1; i <= 588; ++i) sum += i * window[2940 + k + i - 1];
    return sum;
  };
  const std::vector<TDTrackEntry> entries = {
      {2, 0, shifted(-2351), 0}, {2, 0, shifted(1000), 0}, {2, 0, 0, 0},
      {2, 0, shifted(0), 0},     {2, 0, shifted(-1), 0},   {2, 0, 0x0BADF00D, 0},
      {2, 0, shifted(2351), 0},  {2, 0, shifted(1), 0},
  };
  // Rising distance; within one distance, entries in their order.
  EXPECT_EQ(find_offset_candidates(window.data(), entries), (std::vector<std::int32_t>{0, -1, 1, 1000, -2351, 2351}));
}
