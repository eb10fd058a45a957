#include "ui/album_categories.h"

namespace {
std::wstring counted(std::size_t n, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}
}  // namespace

std::vector<CategoryEntry> category_entries(const CategoryCounts& c) {
  std::vector<CategoryEntry> out;
  auto add = [&](int number, std::size_t n, std::wstring text) {
    if (n != 0) out.push_back({number, std::move(text), n});
  };
  add(category::kCorrupted, c.corrupted_tracks, counted(c.corrupted_tracks, L"Track", L"Tracks") + L" Corrupted");
  add(category::kWithErrors, c.with_errors, counted(c.with_errors, L"Album", L"Albums") + L" With Ripping Errors");
  add(category::kAccurate, c.accurate, counted(c.accurate, L"Album", L"Albums") + L" Accurately Ripped");
  add(category::kNotPresent, c.not_present, counted(c.not_present, L"Album", L"Albums") + L" Not Present in Tallydisc");
  add(category::kCannotCheck, c.cannot_check, counted(c.cannot_check, L"Album", L"Albums") + L" Cannot Check");
  add(category::kUserExcluded, c.user_excluded, counted(c.user_excluded, L"Album", L"Albums") + L" User Excluded");
  out.push_back({category::kTotal, std::to_wstring(c.total) + L" Total " + (c.total == 1 ? L"Album" : L"Albums"),
                 c.total});
  return out;
}
