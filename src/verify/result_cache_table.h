// The in-memory part of the result cache: file id -> the track's remembered
// verdict, with the changed flag that decides whether a save writes. Shared
// by the run's driver (find) and up to four album workers (store), so every
// operation takes the lock. The file side is clsTDResultCache.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "verify/cache_lines.h"

class TDResultCacheTable {
 public:
  std::optional<TDResultCacheEntry> find(std::uint32_t file_id) const;
  // Inserts or replaces, and marks the cache changed.
  void store(std::uint32_t file_id, std::uint64_t file_stamp, std::int32_t status, std::wstring line);
  bool changed() const;
  std::size_t size() const;

 protected:
  // Under lock_: insert-or-replace the entry of a valid line; skip others.
  void take_line_locked(std::wstring_view line);
  // Under lock_: the whole file, one line per entry.
  std::string file_bytes_locked() const;

  mutable std::mutex lock_;
  std::map<std::uint32_t, TDResultCacheEntry> entries_;
  bool changed_ = false;
};
