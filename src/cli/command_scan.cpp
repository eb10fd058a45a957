// scan [--force]: runs the library scanner as the main window does and
// waits for it, showing its progress.
#include <windows.h>

#include "audio/scanner_control.h"
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "cli/progress_bar.h"

namespace {
// The main window polls every 250 ms; so do we.
constexpr DWORD kPollMs = 250;

int run_scan(const std::vector<std::wstring>& args) {
  bool force = false;
  for (const auto& a : args) {
    if (a == L"--force") force = true;
    else throw CliUsageError("unknown argument");
  }
  XScannerControl scanner;
  if (!scanner.launch_scanner(force, nullptr)) {
    err_line(scanner_launch_error_text(scanner.last_error()));
    return kExitFailed;
  }
  ProgressBar bar(L"Scanning");
  for (;;) {
    const ScannerPoll poll = scanner.poll();
    if (poll.percent) bar.update(*poll.percent);
    if (poll.ended) break;
    Sleep(kPollMs);
  }
  return kExitOk;
}

const CliCommandRegistration registration{
    {L"scan", L"[--force]", L"run the library scanner (--force rebuilds the index from scratch) and wait for it",
     run_scan}};
}  // namespace
