#include "verify/record_cache.h"

#include <windows.h>

#include "library/file_ops.h"
#include "library/folder_fallbacks.h"
#include "library/known_folders.h"
#include "library/path_rules.h"
#include "library/safe_rewrite_file.h"
#include "library/win_handles.h"
#include "verify/record_fetch_rules.h"

std::wstring record_cache_folder() { return get_folder(kCsidlAppData) + L"Tallydisc\\TallydiscCache\\"; }

std::wstring record_cache_path(const std::wstring& identifier) {
  return record_cache_folder() + record_cache_file_name(identifier);
}

bool is_record_cache_file_fresh(const std::wstring& path) {
  if (!file_exists(path)) return false;
  WIN32_FIND_DATAW found;
  XFindHandle search(FindFirstFileW(make_long_path(path, kLongPathLimitDirectory).c_str(), &found));
  if (!search.valid()) return false;
  SYSTEMTIME now_system;
  GetSystemTime(&now_system);
  FILETIME now_file;
  SystemTimeToFileTime(&now_system, &now_file);
  const auto as_number = [](const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  const std::uint64_t now = as_number(now_file);
  const std::uint64_t written = as_number(found.ftLastWriteTime);
  return now < kRecordFreshness100ns || written > now - kRecordFreshness100ns;
}

bool store_record_cache_file(const std::wstring& path, const std::uint8_t* body, std::size_t length) {
  XSafeRewriteFile rewrite;
  if (!rewrite.begin(path)) return false;
  rewrite.commit = rewrite.file.write(length ? body : nullptr, length, XFile::kFromStart);
  return rewrite.end();
}
