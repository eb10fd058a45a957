// WatchFolderList.bin: the folders the library scanner watches, one per line
// (UTF-16LE, CR LF, no header). All access in this process goes through one
// lock; between processes the retried opens are the only coordination.
#pragma once
#include <mutex>
#include <string>
#include <vector>

inline constexpr wchar_t kWatchFolderListFile[] = L"WatchFolderList.bin";

class WatchFolderList {
 public:
  // Makes sure the data folder exists, then loads the list.
  explicit WatchFolderList(std::wstring data_folder);

  // Reads the file (a missing file becomes the user's music folder alone,
  // written at once), skips empty lines and drops folders inside others.
  std::vector<std::wstring> load();
  // Replaces the file with these folders. False when it cannot be opened or
  // a folder could not be written.
  bool save(const std::vector<std::wstring>& folders);
  // The list as last loaded or saved.
  std::vector<std::wstring> folders() const;

 private:
  bool save_locked(const std::vector<std::wstring>& folders);

  std::wstring path_;
  mutable std::mutex lock_;
  std::vector<std::wstring> folders_;
};

// Appends one path to OnlyUpdateTagsInFileNames.bin in `data_folder`, so that
// the scanner refreshes only the tags of that file. False when the file
// could not be opened or written.
bool append_only_update_tags(const std::wstring& data_folder, const std::wstring& path);
