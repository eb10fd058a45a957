#include "verify/result_cache.h"

#include <windows.h>

#include "library/xfile.h"
#include "verify/cache_file_io.h"

void clsTDResultCache::load() {
  std::lock_guard<std::mutex> hold(lock_);
  entries_.clear();
  for_each_utf16_line(path_, [this](std::wstring_view line) { take_line_locked(line); });
  changed_ = false;
}

bool clsTDResultCache::save() {
  std::lock_guard<std::mutex> hold(lock_);
  if (!changed_) return true;
  if (!rewrite_whole_file(path_, file_bytes_locked())) return false;
  changed_ = false;
  return true;
}

bool clsTDResultCache::clear() {
  std::lock_guard<std::mutex> hold(lock_);
  entries_.clear();
  XFile file(path_);
  file.open(GENERIC_WRITE, CREATE_ALWAYS, true);
  return file.is_open();
}
