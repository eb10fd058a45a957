// clsTDResultCache: the verdicts of the tracks of every album that verified
// well enough, kept in TDResultCache.bin (format in cache_lines.h) so that an
// unchanged album is answered without decoding. One per engine.
#pragma once
#include <string>

#include "verify/result_cache_table.h"

class clsTDResultCache : public TDResultCacheTable {
 public:
  explicit clsTDResultCache(std::wstring path) : path_(std::move(path)) {}

  // Replaces the map with the file's valid lines (the later of two lines for
  // one file id wins) and clears the changed flag. A missing file is empty.
  void load();
  // Only when changed: writes the whole file anew and clears the flag. On
  // failure the previous file stays as it was and the flag stays set.
  bool save();
  // Empties the map and leaves an empty file.
  bool clear();

  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};
