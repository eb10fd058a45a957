// The folder of the running program, below which "decoder\" holds the
// plug-ins. Tests point it at a folder of their own.
#pragma once
#include <string>

// With a trailing backslash.
std::wstring program_folder();
// Test seam: an empty folder restores the program's own.
void set_program_folder_override(const std::wstring& folder);
