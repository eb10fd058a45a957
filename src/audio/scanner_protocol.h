// The names and the command line by which this system and the library
// scanner talk. Pure text; both sides (our scanner control and the stand-in
// scanner) build their names here so they cannot drift apart.
#pragma once
#include <cstdint>
#include <string>

// "sid-dup-<tick count>", new for every launch.
std::wstring scanner_run_id(std::uint32_t tick_count);

struct ScannerObjectNames {
  std::wstring minimized;         // event, set by the scanner
  std::wstring paused;            // event, set by the scanner
  std::wstring settings_clicked;  // event, set by the scanner
  std::wstring quit;              // event, set by this system
  std::wstring shared_block;      // run id + "-pcdone"; see XSharedBlock for its objects
};
ScannerObjectNames scanner_object_names(const std::wstring& run_id);

struct ScannerLaunch {
  std::wstring program_folder;  // with trailing backslash
  std::uintptr_t parent_window = 0;
  std::wstring run_id;
  bool decode_all = false;  // the TD-DecodeAll setting
  bool force = false;       // a forced full rescan
};
std::wstring scanner_command_line(const ScannerLaunch& launch);

// What the scanner takes from its command line; missing switches read as
// empty or false.
struct ScannerArguments {
  std::wstring parent_window;
  std::wstring run_id;
  bool want_settings = false;
  bool only_read_tags = false;
  bool force = false;
};
// Parses the arguments after the program name (already split, quotes removed).
ScannerArguments parse_scanner_arguments(int argc, const wchar_t* const* argv);
