// The lookup cache's search over a cache of many albums, asked in the order
// in which the entries were added (as consecutive runs do), against the
// same search when every lookup starts over at the beginning; and reading
// result-cache lines.
#include <benchmark/benchmark.h>

#include <cwchar>
#include <string>
#include <vector>

#include "verify/cache_lines.h"
#include "verify/toc_lookup_find.h"

namespace {
std::wstring key_for(int i) {
  wchar_t text[48];
  std::swprintf(text, 48, L"%08X;%d;%d", static_cast<unsigned>(i) * 2654435761u, 10000 + i, 20000 + i);
  return text;
}

std::vector<TDTocLookupEntry> entries_of(int count) {
  std::vector<TDTocLookupEntry> entries;
  for (int i = 0; i < count; ++i) {
    const std::wstring key = key_for(i);
    entries.push_back({toc_key_hash(key), key, L"002-0000a1b2-0001c3d4-12345678;10000;20000"});
  }
  return entries;
}

void BM_TocFindInOrder(benchmark::State& state, bool restart_each_time) {
  const int count = static_cast<int>(state.range(0));
  const auto entries = entries_of(count);
  std::vector<std::wstring> keys;
  for (int i = 0; i < count; ++i) keys.push_back(key_for(i));
  for (auto _ : state) {
    std::int32_t last_hit = 0;
    for (const auto& key : keys) {
      if (restart_each_time) last_hit = 0;
      benchmark::DoNotOptimize(find_toc_entry(entries, key, last_hit));
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK_CAPTURE(BM_TocFindInOrder, near_last_hit, false)->Arg(1000)->Arg(10000);
BENCHMARK_CAPTURE(BM_TocFindInOrder, from_the_start, true)->Arg(1000)->Arg(10000);

void BM_ResultCacheLineParse(benchmark::State& state) {
  const std::wstring line =
      L"123456{_; _}133456789012345678{_; _}0{_; _}Track 7: Tallydisc Verified Confidence 12, Pressing Offset +6 "
      L"[TDv2 CRC 0A1B2C3D]";
  for (auto _ : state) benchmark::DoNotOptimize(parse_result_cache_line(line));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResultCacheLineParse);
}  // namespace
