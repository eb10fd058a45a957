// The choice between the dark and the light theme, from the "DarkMode"
// setting and facts about the platform, kept apart from where the facts come
// from so every combination can be checked.
#pragma once
#include <cstdint>
#include <optional>

struct ThemePlatformFacts {
  std::uint32_t build_number = 0;
  bool on_compatibility_layer = false;  // its ntdll exports "wine_server_call"
  // "AppsUseLightTheme" as read: empty when the read failed or the value is
  // not a 32-bit number.
  std::optional<std::uint32_t> apps_use_light_theme;
};

// Dark windows need build 17763 or later and no compatibility layer.
bool platform_supports_dark_windows(const ThemePlatformFacts& facts);

// DarkMode 1: dark; 2: light; anything else follows the system theme, which
// is dark only when the platform supports dark windows and
// AppsUseLightTheme reads as the number 0.
bool choose_dark_theme(std::uint32_t dark_mode_setting, const ThemePlatformFacts& facts);
