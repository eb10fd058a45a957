// The fallback rules of the known-folder lookup, apart from the platform
// calls that feed them (so they can be checked with any answers).
#pragma once
#include <functional>
#include <string>

inline constexpr int kCsidlPersonal = 5;
inline constexpr int kCsidlMyMusic = 13;
inline constexpr int kCsidlAppData = 26;
inline constexpr int kCsidlWindows = 36;

struct FolderSources {
  // The shell's answer for a CSIDL value; empty when it has none.
  std::function<std::wstring(int)> shell_folder;
  // The Windows directory; empty on failure.
  std::function<std::wstring()> windows_directory;
};

// Always ends with "\" (a bare "\" becomes empty); "C:\Error\" when nothing
// can be found.
std::wstring resolve_folder(int csidl, const FolderSources& sources);
