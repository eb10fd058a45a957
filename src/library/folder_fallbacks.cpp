#include "library/folder_fallbacks.h"

#include "library/path_rules.h"

namespace {
const std::wstring kErrorFolder = L"C:\\Error\\";

std::wstring finish(const std::wstring& folder) {
  const std::wstring result = add_trailing_backslash(folder);
  return result == L"\\" ? std::wstring() : result;
}

// The folder that holds `folder` ("C:\Users\me\Documents" -> "C:\Users\me\").
std::wstring parent_of(std::wstring folder) {
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return directory_part(folder);
}
}  // namespace

std::wstring resolve_folder(int csidl, const FolderSources& sources) {
  if (csidl == kCsidlWindows) {
    const std::wstring windows = sources.windows_directory();
    return finish(windows.empty() ? kErrorFolder : windows);
  }
  const std::wstring direct = sources.shell_folder(csidl);
  if (!direct.empty()) return finish(direct);
  if (csidl == kCsidlAppData) {
    const std::wstring documents = sources.shell_folder(kCsidlPersonal);
    const std::wstring parent = documents.empty() ? std::wstring() : parent_of(documents);
    if (!parent.empty()) return finish(parent + L"Application Data\\");
  } else if (csidl == kCsidlMyMusic) {
    const std::wstring documents = sources.shell_folder(kCsidlPersonal);
    if (!documents.empty()) return finish(add_trailing_backslash(documents) + L"My Music\\");
  }
  return finish(kErrorFolder);
}
