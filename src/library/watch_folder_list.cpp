#include "library/watch_folder_list.h"

#include <windows.h>

#include "library/file_ops.h"
#include "library/known_folders.h"
#include "library/path_rules.h"
#include "library/watch_folder_rules.h"
#include "library/xfile.h"

namespace {
// The settings dialog and the scanner may hold the list open for a moment.
constexpr int kListOpenAttempts = 20;
constexpr DWORD kListOpenRetryMs = 100;
// The tag engine appends while the scanner may read; retried at once.
constexpr int kAppendOpenAttempts = 20;

constexpr wchar_t kOnlyUpdateTagsFile[] = L"OnlyUpdateTagsInFileNames.bin";
constexpr wchar_t kLineEnd[] = L"\r\n";

bool write_wide(XFile& file, const std::wstring& text) {
  return file.write(text.data(), text.size() * sizeof(wchar_t), XFile::kAtCurrent);
}
}  // namespace

WatchFolderList::WatchFolderList(std::wstring data_folder)
    : path_(add_trailing_backslash(data_folder) + kWatchFolderListFile) {
  create_directory_tree(data_folder);
  load();
}

std::vector<std::wstring> WatchFolderList::load() {
  std::lock_guard guard(lock_);
  if (!file_exists(path_)) save_locked({get_folder(kCsidlMyMusic)});
  XFile file(path_);
  for (int attempt = 0; attempt < kListOpenAttempts && !file.is_open(); ++attempt) {
    file.open(GENERIC_READ, OPEN_EXISTING, true);
    if (!file.is_open()) Sleep(kListOpenRetryMs);
  }
  std::vector<std::wstring> lines;
  std::wstring line;
  while (file.is_open() && read_line(file, line, true, false))
    if (!line.empty()) lines.push_back(line);
  folders_ = reduce_watch_folders(lines);
  return folders_;
}

bool WatchFolderList::save(const std::vector<std::wstring>& folders) {
  std::lock_guard guard(lock_);
  return save_locked(folders);
}

bool WatchFolderList::save_locked(const std::vector<std::wstring>& folders) {
  folders_ = folders;
  XFile file(path_);
  for (int attempt = 0; attempt < kListOpenAttempts && !file.is_open(); ++attempt) {
    file.open(GENERIC_WRITE, CREATE_ALWAYS, false);
    if (!file.is_open()) Sleep(kListOpenRetryMs);
  }
  if (!file.is_open()) return false;
  bool all_written = true;
  for (const auto& folder : folders) {
    if (write_wide(file, folder)) all_written = write_wide(file, kLineEnd) && all_written;
    else all_written = false;
  }
  return all_written;
}

std::vector<std::wstring> WatchFolderList::folders() const {
  std::lock_guard guard(lock_);
  return folders_;
}

bool append_only_update_tags(const std::wstring& data_folder, const std::wstring& path) {
  XFile file(add_trailing_backslash(data_folder) + kOnlyUpdateTagsFile);
  for (int attempt = 0; attempt < kAppendOpenAttempts && !file.is_open(); ++attempt)
    file.open(GENERIC_WRITE, OPEN_ALWAYS, false);
  if (!file.is_open()) return false;
  return file.write(path.data(), path.size() * sizeof(wchar_t), XFile::kAppend) &&
         write_wide(file, kLineEnd);
}
