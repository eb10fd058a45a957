#include "audio/program_folder.h"

#include <windows.h>

#include <mutex>
#include <vector>

#include "library/path_rules.h"

namespace {
std::mutex g_override_lock;
std::wstring g_override;

// Long enough for any path the "\\?\" form allows.
constexpr DWORD kMaxModulePath = 32768;
}  // namespace

std::wstring program_folder() {
  {
    std::lock_guard<std::mutex> lock(g_override_lock);
    if (!g_override.empty()) return add_trailing_backslash(g_override);
  }
  std::vector<wchar_t> buffer(kMaxModulePath);
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), kMaxModulePath);
  if (n == 0 || n >= kMaxModulePath) return {};
  return directory_part(std::wstring(buffer.data(), n));
}

void set_program_folder_override(const std::wstring& folder) {
  std::lock_guard<std::mutex> lock(g_override_lock);
  g_override = folder;
}
