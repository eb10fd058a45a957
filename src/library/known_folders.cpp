#include "library/known_folders.h"

#include <windows.h>
#include <shlobj.h>

#include <mutex>

#include "library/path_rules.h"

namespace {
// The override travels to child processes (the scanner) in this variable.
constexpr wchar_t kOverrideVariable[] = L"TALLYDISC_APPDATA";

std::mutex g_override_lock;
bool g_override_read = false;
std::wstring g_appdata_override;

// Takes the override a parent process handed down, once.
void read_inherited_override() {
  if (g_override_read) return;
  g_override_read = true;
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(kOverrideVariable, buffer, MAX_PATH);
  if (n > 0 && n < MAX_PATH) g_appdata_override = add_trailing_backslash(buffer);
}

std::wstring shell_folder(int csidl) {
  PIDLIST_ABSOLUTE list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) return {};
  wchar_t buffer[MAX_PATH] = {};
  const BOOL ok = SHGetPathFromIDListW(list, buffer);
  CoTaskMemFree(list);
  return ok ? std::wstring(buffer) : std::wstring();
}

std::wstring windows_directory() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
  return (n == 0 || n >= MAX_PATH) ? std::wstring() : std::wstring(buffer, n);
}
}  // namespace

void set_appdata_folder_override(const std::wstring& folder) {
  std::lock_guard<std::mutex> lock(g_override_lock);
  g_override_read = true;
  g_appdata_override = folder.empty() ? folder : add_trailing_backslash(folder);
  SetEnvironmentVariableW(kOverrideVariable, folder.empty() ? nullptr : g_appdata_override.c_str());
}

std::wstring get_folder(int csidl) {
  if (csidl == kCsidlAppData) {
    std::lock_guard<std::mutex> lock(g_override_lock);
    read_inherited_override();
    if (!g_appdata_override.empty()) return g_appdata_override;
  }
  return resolve_folder(csidl, FolderSources{shell_folder, windows_directory});
}
