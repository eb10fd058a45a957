#include "audio_file_walk.h"

#include <algorithm>
#include <set>

#include "library/directory_iterator.h"
#include "library/path_rules.h"
#include "library/text_convert.h"

namespace {
void walk(const std::wstring& folder, const std::function<bool(const std::wstring&)>& is_audio,
          std::set<std::wstring>& seen, std::vector<std::wstring>& out) {
  std::vector<std::wstring> files, folders;
  XDirectoryIterator it(add_trailing_backslash(folder) + L"*", false);
  while (it.next()) (it.is_directory() ? folders : files).push_back(it.full_path());
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const auto& f : files)
    if (is_audio(extension(f)) && seen.insert(ascii_lowercase(f)).second) out.push_back(f);
  for (const auto& d : folders) walk(d, is_audio, seen, out);
}
}  // namespace

std::vector<std::wstring> find_audio_files(const std::vector<std::wstring>& watch_folders,
                                           const std::function<bool(const std::wstring& extension)>& is_audio) {
  std::vector<std::wstring> out;
  std::set<std::wstring> seen;  // watch folders may overlap
  for (const auto& folder : watch_folders) walk(folder, is_audio, seen, out);
  return out;
}
