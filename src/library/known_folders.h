// get_folder: the user's known folders, always ending with "\".
#pragma once
#include <string>

#include "library/folder_fallbacks.h"

std::wstring get_folder(int csidl);

// Test and console seam: a process-wide replacement for the application-data
// folder (empty restores the platform's answer). Nothing else changes. It is
// handed down to child processes (the scanner) through the environment.
void set_appdata_folder_override(const std::wstring& folder);
