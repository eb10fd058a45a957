#include "shell/settings_store.h"

#include <mutex>
#include <vector>

#include "library/win_handles.h"

namespace {
std::mutex g_location_lock;
HKEY g_root = HKEY_CURRENT_USER;
std::wstring g_key_path = kSettingsKeyPath;

XRegKey open_key(HKEY root, const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return XRegKey();
  return XRegKey(key);
}
}  // namespace

void set_settings_location(HKEY root, const std::wstring& key_path) {
  std::lock_guard<std::mutex> lock(g_location_lock);
  g_root = root;
  g_key_path = key_path;
}

HKEY settings_root() {
  std::lock_guard<std::mutex> lock(g_location_lock);
  return g_root;
}

std::wstring settings_key_path() {
  std::lock_guard<std::mutex> lock(g_location_lock);
  return g_key_path;
}

std::uint32_t read_setting_dword(const wchar_t* name) {
  XRegKey key = open_key(settings_root(), settings_key_path(), KEY_QUERY_VALUE);
  if (!key) return 0;
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
    return 0;
  return (type == REG_DWORD && size == sizeof value) ? value : 0;
}

std::wstring read_setting_string(const wchar_t* name, HKEY root, const wchar_t* key_path) {
  XRegKey key = open_key(root ? root : settings_root(), key_path ? std::wstring(key_path) : settings_key_path(),
                         KEY_QUERY_VALUE);
  if (!key) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  // Two spare zero bytes terminate a value stored without its terminator.
  std::vector<BYTE> buffer(size + 2, 0);
  if (RegQueryValueExW(key.get(), name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data()));
}

bool write_setting(const void* data, DWORD size, DWORD type, const wchar_t* name, HKEY root, const wchar_t* key_path) {
  XRegKey key = open_key(root ? root : settings_root(), key_path ? std::wstring(key_path) : settings_key_path(),
                         KEY_WRITE);
  if (!key) return false;
  return RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}
