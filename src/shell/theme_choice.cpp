#include "shell/theme_choice.h"

bool platform_supports_dark_windows(const ThemePlatformFacts& facts) {
  return facts.build_number > 17762 && !facts.on_compatibility_layer;
}

bool choose_dark_theme(std::uint32_t dark_mode_setting, const ThemePlatformFacts& facts) {
  if (dark_mode_setting == 1) return true;
  if (dark_mode_setting == 2) return false;
  if (!platform_supports_dark_windows(facts)) return false;
  return facts.apps_use_light_theme.has_value() && *facts.apps_use_light_theme == 0;
}
