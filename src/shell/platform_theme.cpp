#include "shell/platform_theme.h"

#include <windows.h>

#include <mutex>

#include "shell/settings_store.h"

namespace {
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

std::uint32_t windows_build_number() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return 0;
  auto get_version = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!get_version || get_version(&info) != 0) return 0;
  return info.dwBuildNumber;
}
}  // namespace

ThemePlatformFacts read_theme_platform_facts() {
  ThemePlatformFacts facts;
  facts.build_number = windows_build_number();
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  facts.on_compatibility_layer = ntdll && GetProcAddress(ntdll, "wine_server_call") != nullptr;
  if (platform_supports_dark_windows(facts)) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                     L"AppsUseLightTheme", RRF_RT_ANY, &type, &value, &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
      facts.apps_use_light_theme = value;
  }
  return facts;
}

bool process_uses_dark_theme() {
  static std::once_flag once;
  static bool dark = false;
  std::call_once(once, [] { dark = choose_dark_theme(read_setting_dword(setting::kDarkMode), read_theme_platform_facts()); });
  return dark;
}
