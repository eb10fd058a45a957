// Reads the platform facts of the theme choice, once per process.
#pragma once
#include "shell/theme_choice.h"

ThemePlatformFacts read_theme_platform_facts();

// The process-wide dark flag, decided once from "DarkMode" and the system.
bool process_uses_dark_theme();
