#include "verify/result_cache_table.h"

std::optional<TDResultCacheEntry> TDResultCacheTable::find(std::uint32_t file_id) const {
  std::lock_guard<std::mutex> hold(lock_);
  const auto it = entries_.find(file_id);
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

void TDResultCacheTable::store(std::uint32_t file_id, std::uint64_t file_stamp, std::int32_t status,
                               std::wstring line) {
  std::lock_guard<std::mutex> hold(lock_);
  changed_ = true;
  entries_[file_id] = TDResultCacheEntry{file_stamp, status, std::move(line)};
}

bool TDResultCacheTable::changed() const {
  std::lock_guard<std::mutex> hold(lock_);
  return changed_;
}

std::size_t TDResultCacheTable::size() const {
  std::lock_guard<std::mutex> hold(lock_);
  return entries_.size();
}

void TDResultCacheTable::take_line_locked(std::wstring_view line) {
  auto parsed = parse_result_cache_line(line);
  if (parsed) entries_[parsed->file_id] = std::move(parsed->entry);
}

std::string TDResultCacheTable::file_bytes_locked() const {
  std::string bytes;
  for (const auto& [file_id, entry] : entries_) append_utf16le(bytes, format_result_cache_line(file_id, entry));
  return bytes;
}
