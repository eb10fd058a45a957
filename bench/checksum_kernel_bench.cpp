// Speed of the checksum pass's summing: words of decoded stream per second
// for 1, 2 and 16 candidate offsets, fed in decoder-sized blocks; and the
// offset search of one track.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "verify/checksum_stream.h"
#include "verify/offset_search.h"

namespace {
// A block as a FLAC decoder typically hands it over.
constexpr std::size_t kBlockWords = 4096;
// Five minutes of audio.
constexpr std::int32_t kTrackSectors = 5 * 60 * 75;

std::vector<std::uint32_t> noise(std::size_t n) {
  std::vector<std::uint32_t> words(n);
  std::uint32_t x = 12345;
  for (auto& w : words) w = x = x * 1664525u + 1013904223u;
  return words;
}

void BM_ChecksumStream(benchmark::State& state) {
  const auto candidates = static_cast<int>(state.range(0));
  std::vector<std::int32_t> offsets;
  for (int i = 0; i < candidates; ++i) offsets.push_back(i * 293 - 2351);
  const std::size_t track_words = static_cast<std::size_t>(kTrackSectors) * 588 + 2 * 2940;
  const std::vector<std::uint32_t> block = noise(kBlockWords);
  for (auto _ : state) {
    ChecksumStream stream(offsets, kTrackSectors, false, false);
    for (std::size_t fed = 0; fed < track_words; fed += kBlockWords)
      stream.feed(block.data(), std::min(kBlockWords, track_words - fed));
    benchmark::DoNotOptimize(stream.candidates().front().tdv2_sum);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * track_words));
}
BENCHMARK(BM_ChecksumStream)->Arg(1)->Arg(2)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_OffsetSearch(benchmark::State& state) {
  const std::vector<std::uint32_t> window = noise(kOffsetSearchWords);
  std::vector<TDTrackEntry> entries(static_cast<std::size_t>(state.range(0)));
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = {2, 0, static_cast<std::uint32_t>(i + 1), 0};
  for (auto _ : state) benchmark::DoNotOptimize(find_offset_candidates(window.data(), entries));
}
BENCHMARK(BM_OffsetSearch)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
