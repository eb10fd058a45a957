// TDTocLookupCache: the lookup service's answers by table-of-contents key,
// kept in TDTocLookup.bin (format in cache_lines.h) so that an album is asked
// about only once. One per engine; used by the run's driver and the user
// interface thread, one at a time, each operation under the lock.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "verify/cache_lines.h"

class TDTocLookupCache {
 public:
  explicit TDTocLookupCache(std::wstring path) : path_(std::move(path)) {}

  // Replaces the list with the file's valid lines, clears the changed flag.
  void load();
  // Index of the entry for `key`, or -1 (search in toc_lookup_find.h).
  std::int32_t find(std::wstring_view key);
  // The answer of the entry at `index` (from find).
  std::wstring answer(std::int32_t index) const;
  // Appends an entry and marks the cache changed. An entry whose key or
  // answer could not be read back from the file (a line break or the field
  // separator inside) is not kept: its album is asked about again next run.
  void add(const std::wstring& key, const std::wstring& answer);
  // Only when changed: writes the whole file anew and clears the flag. On
  // failure the previous file stays as it was and the flag stays set.
  bool save();

  bool changed() const;
  std::size_t size() const;

 private:
  mutable std::mutex lock_;
  std::vector<TDTocLookupEntry> entries_;
  bool changed_ = false;
  // Only the driver thread searches; the lock covers it anyway.
  std::int32_t last_hit_ = 0;
  std::wstring path_;
};
