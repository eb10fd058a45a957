// tallydisc-cli: the console front end over the verification engine.
//   tallydisc-cli [--data DIR] COMMAND ARGS...
#include <windows.h>

#include <cwchar>
#include <exception>
#include <string>
#include <vector>

#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "library/known_folders.h"
#include "library/text_convert.h"
#include "shell/settings_store.h"

namespace {
void print_help() {
  out_line(L"usage: tallydisc-cli [--data DIR] COMMAND [ARGS...]");
  out_line(L"");
  out_line(L"  --data DIR   use DIR as the application-data folder (the data folder is DIR\\Auralith)");
  out_line(L"");
  out_line(L"commands:");
  for (const auto& c : cli_commands()) {
    out_line(std::wstring(L"  ") + c.name + L" " + c.usage);
    out_line(std::wstring(L"      ") + c.summary);
  }
  out_line(L"");
  out_line(L"exit codes: 0 success, 1 usage error, 2 the work could not be done");
}

const CliCommand* find_command(const std::wstring& name) {
  for (const auto& c : cli_commands())
    if (name == c.name) return &c;
  return nullptr;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  set_settings_location(HKEY_CURRENT_USER, kSettingsKeyPath);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::size_t i = 0;
  while (i < args.size() && args[i].rfind(L"--", 0) == 0) {
    if (args[i] == L"--help") {
      print_help();
      return kExitOk;
    }
    if (args[i] == L"--data" && i + 1 < args.size()) {
      set_appdata_folder_override(args[i + 1]);
      i += 2;
      continue;
    }
    err_line(L"unknown option: " + args[i]);
    return kExitUsage;
  }
  if (i >= args.size()) {
    print_help();
    return kExitUsage;
  }
  const CliCommand* command = find_command(args[i]);
  if (!command) {
    err_line(L"unknown command: " + args[i] + L" (see --help)");
    return kExitUsage;
  }
  const std::vector<std::wstring> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  try {
    return command->run(rest);
  } catch (const CliUsageError& e) {
    err_line(utf8_to_wide(e.what()));
    err_line(std::wstring(L"usage: tallydisc-cli ") + command->name + L" " + command->usage);
    return kExitUsage;
  } catch (const std::exception& e) {
    err_line(utf8_to_wide(e.what()));
    return kExitFailed;
  }
}
