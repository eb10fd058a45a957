#include "audio/scanner_control.h"

#include <cstdio>
#include <vector>

#include "audio/scanner_protocol.h"
#include "audio/program_folder.h"
#include "shell/settings_store.h"

namespace {
// How long a restart waits for the old scanner to leave.
constexpr DWORD kRestartWaitMs = 2000;

bool is_set(const XHandle& event) { return event && WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0; }
}  // namespace

std::wstring scanner_launch_error_text(DWORD code) {
  return L"Could not start scanner.\nError code: " + std::to_wstring(code);
}

bool XScannerControl::launch_scanner(bool force, HWND parent) {
  run_id_ = scanner_run_id(GetTickCount());
  ScannerLaunch launch;
  launch.program_folder = ::program_folder();
  launch.parent_window = reinterpret_cast<std::uintptr_t>(parent);
  launch.run_id = run_id_;
  launch.decode_all = read_setting_dword(setting::kDecodeAll) != 0;
  launch.force = force;
  command_line_ = scanner_command_line(launch);

  const ScannerObjectNames names = scanner_object_names(run_id_);
  minimized_.reset(CreateEventW(nullptr, TRUE, FALSE, names.minimized.c_str()));
  paused_.reset(CreateEventW(nullptr, TRUE, FALSE, names.paused.c_str()));
  settings_clicked_.reset(CreateEventW(nullptr, TRUE, FALSE, names.settings_clicked.c_str()));
  quit_.reset(CreateEventW(nullptr, TRUE, FALSE, names.quit.c_str()));
  shared_.open(names.shared_block);
  shared_.write(0);
  paused_state_ = false;
  percent_ = 0;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::vector<wchar_t> line(command_line_.begin(), command_line_.end());
  line.push_back(L'\0');
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &startup, &info)) {
    last_error_ = GetLastError();
    return false;
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  return true;
}

void XScannerControl::request_quit() {
  if (quit_) SetEvent(quit_.get());
}

bool XScannerControl::restart(HWND parent) {
  request_quit();
  if (process_) WaitForSingleObject(process_.get(), kRestartWaitMs);
  process_.reset();
  return launch_scanner(false, parent);
}

ScannerPoll XScannerControl::poll() {
  ScannerPoll result;
  if (is_set(settings_clicked_)) {
    ResetEvent(settings_clicked_.get());
    result.settings_clicked = true;
  }
  if (!process_) return result;
  if (WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) {
    process_.reset();
    result.ended = true;
  }
  result.minimized = is_set(minimized_);
  const bool paused = is_set(paused_);
  if (paused != paused_state_) {
    paused_state_ = paused;
    result.paused = paused;
  }
  const std::uint32_t percent = shared_.read();
  if (percent != percent_) {
    percent_ = percent;
    result.percent = percent;
  }
  return result;
}
