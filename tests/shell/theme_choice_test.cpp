#include "shell/theme_choice.h"

#include <gtest/gtest.h>

TEST(ThemeChoice, SettingSystemThemeAndPlatform) {
  constexpr std::uint32_t kDarkBuild = 19045, kOldBuild = 17762;
  struct Case {
    std::uint32_t dark_mode;
    std::uint32_t build;
    bool compatibility_layer;
    std::optional<std::uint32_t> apps_use_light;
    bool dark;
  };
  const Case cases[] = {
      {1, kOldBuild, false, std::nullopt, true},  // forced dark even without platform support
      {1, kDarkBuild, true, 1u, true},
      {2, kDarkBuild, false, 0u, false},          // forced light
      {0, kDarkBuild, false, 0u, true},           // follows the system: dark
      {0, kDarkBuild, false, 1u, false},
      {0, kDarkBuild, false, std::nullopt, false},  // missing or not a number
      {3, kDarkBuild, false, 0u, true},           // any other value follows the system
      {0, kOldBuild, false, 0u, false},           // build 17762 has no dark windows
      {0, kOldBuild + 1, false, 0u, true},
      {0, kDarkBuild, true, 0u, false},           // on a compatibility layer
  };
  for (const auto& c : cases) {
    const ThemePlatformFacts facts{c.build, c.compatibility_layer, c.apps_use_light};
    EXPECT_EQ(choose_dark_theme(c.dark_mode, facts), c.dark)
        << "DarkMode " << c.dark_mode << " build " << c.build << " layer " << c.compatibility_layer;
  }
}
