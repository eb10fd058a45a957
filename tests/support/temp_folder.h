// A fresh folder under the temporary folder for one test, removed with all
// its contents afterwards.
#pragma once
#include <cstddef>
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // With a trailing backslash.
  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + name; }
  // Writes bytes to a file in the folder and returns its path.
  std::wstring write(const std::wstring& name, const std::string& bytes) const;

 private:
  std::wstring path_;
};

// Removes a folder tree (read-only files too).
void remove_tree(const std::wstring& folder);

// The whole content of a file (a failed read fails the test).
std::string read_file_bytes(const std::wstring& path);
// How many entries a folder (with trailing backslash) holds.
std::size_t count_folder_entries(const std::wstring& folder);
