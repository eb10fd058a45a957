#include "verify/toc_lookup_cache.h"

#include "verify/cache_file_io.h"
#include "verify/toc_lookup_find.h"

void TDTocLookupCache::load() {
  std::lock_guard<std::mutex> hold(lock_);
  entries_.clear();
  for_each_utf16_line(path_, [this](std::wstring_view line) {
    auto parsed = parse_toc_lookup_line(line);
    if (parsed) entries_.push_back(std::move(*parsed));
  });
  changed_ = false;
}

std::int32_t TDTocLookupCache::find(std::wstring_view key) {
  std::lock_guard<std::mutex> hold(lock_);
  return find_toc_entry(entries_, key, last_hit_);
}

std::wstring TDTocLookupCache::answer(std::int32_t index) const {
  std::lock_guard<std::mutex> hold(lock_);
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return {};
  return entries_[static_cast<std::size_t>(index)].answer;
}

void TDTocLookupCache::add(const std::wstring& key, const std::wstring& answer) {
  if (!fits_cache_field(key) || !fits_cache_field(answer)) return;
  std::lock_guard<std::mutex> hold(lock_);
  changed_ = true;
  entries_.push_back(TDTocLookupEntry{toc_key_hash(key), key, answer});
}

bool TDTocLookupCache::save() {
  std::lock_guard<std::mutex> hold(lock_);
  if (!changed_) return true;
  std::string bytes;
  for (const auto& entry : entries_) append_utf16le(bytes, format_toc_lookup_line(entry));
  if (!rewrite_whole_file(path_, bytes)) return false;
  changed_ = false;
  return true;
}

bool TDTocLookupCache::changed() const {
  std::lock_guard<std::mutex> hold(lock_);
  return changed_;
}

std::size_t TDTocLookupCache::size() const {
  std::lock_guard<std::mutex> hold(lock_);
  return entries_.size();
}
