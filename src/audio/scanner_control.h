// Starting and watching the library scanner: its process, its four named
// events and its shared progress block. The window reactions (minimise,
// taskbar, settings) are the caller's; poll() reports what changed.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "audio/shared_block.h"
#include "library/win_handles.h"

// "Could not start scanner.\nError code: %u"
std::wstring scanner_launch_error_text(DWORD code);

// What one polling pass saw.
struct ScannerPoll {
  bool settings_clicked = false;  // the event was set (and is now cleared)
  bool ended = false;             // the scanner process has ended
  bool minimized = false;         // state of the minimised event
  std::optional<bool> paused;     // new pause state, when it changed
  std::optional<std::uint32_t> percent;  // new progress value, when it changed
};

class XScannerControl {
 public:
  XScannerControl() = default;
  ~XScannerControl() = default;  // closes everything without asking the scanner to quit
  XScannerControl(const XScannerControl&) = delete;
  XScannerControl& operator=(const XScannerControl&) = delete;

  // Starts "<program folder>scanner.exe" (audio/program_folder.h) with a
  // new run identifier. False on failure; last_error() then holds
  // GetLastError's value.
  bool launch_scanner(bool force, HWND parent);
  // Asks a running scanner to quit, waits up to 2000 ms, then launches anew.
  bool restart(HWND parent);
  // Sets the quit event of the current run.
  void request_quit();

  // One polling pass (the main window's timer tick).
  ScannerPoll poll();

  bool running() const { return process_.valid(); }
  HANDLE process() const { return process_.get(); }
  const std::wstring& run_id() const { return run_id_; }
  const std::wstring& command_line() const { return command_line_; }
  DWORD last_error() const { return last_error_; }

 private:
  std::wstring run_id_;
  std::wstring command_line_;
  XHandle process_;
  XHandle minimized_, paused_, settings_clicked_, quit_;
  XSharedBlock shared_;
  bool paused_state_ = false;
  std::uint32_t percent_ = 0;
  DWORD last_error_ = 0;
};
