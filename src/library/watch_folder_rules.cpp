#include "library/watch_folder_rules.h"

#include <unordered_set>

#include "library/text_convert.h"

namespace {
std::wstring normal_form(const std::wstring& folder) {
  std::wstring n = ascii_lowercase(folder);
  while (!n.empty() && n.back() == L'\\') n.pop_back();
  return n;
}

bool lies_inside_another(const std::wstring& normal, const std::unordered_set<std::wstring>& all) {
  for (std::size_t at = normal.find(L'\\'); at != std::wstring::npos; at = normal.find(L'\\', at + 1)) {
    std::wstring parent = normal.substr(0, at);
    while (!parent.empty() && parent.back() == L'\\') parent.pop_back();
    if (!parent.empty() && all.count(parent)) return true;
  }
  return false;
}
}  // namespace

std::vector<std::wstring> reduce_watch_folders(const std::vector<std::wstring>& folders) {
  std::unordered_set<std::wstring> all;
  for (const auto& f : folders) all.insert(normal_form(f));
  std::vector<std::wstring> kept;
  for (const auto& f : folders)
    if (!lies_inside_another(normal_form(f), all)) kept.push_back(f);
  return kept;
}
