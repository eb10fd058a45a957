#include "verify/toc_lookup_find.h"

#include <algorithm>

std::int32_t find_toc_entry(const std::vector<TDTocLookupEntry>& entries, std::wstring_view key,
                            std::int32_t& last_hit) {
  const std::uint32_t hash = toc_key_hash(key);
  const auto n = static_cast<std::int64_t>(entries.size());
  const std::int64_t b = (last_hit >= 0 && last_hit < n) ? last_hit : 0;
  const std::int64_t start = b - std::min<std::int64_t>(b, kTocSearchBacktrack);
  auto scan = [&](std::int64_t from, std::int64_t to) -> std::int32_t {
    for (std::int64_t i = from; i < to; ++i) {
      const auto& entry = entries[static_cast<std::size_t>(i)];
      if (entry.hash == hash && entry.key == key) {
        last_hit = static_cast<std::int32_t>(i);
        return last_hit;
      }
    }
    return -1;
  };
  const std::int32_t found = scan(start, n);
  if (found >= 0 || start == 0) return found;
  return scan(0, start);
}
