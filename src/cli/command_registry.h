// The table of console commands. Each command lives in its own file and
// adds itself with a static CliCommandRegistration.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

// Exit codes of the console front end.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitFailed = 2;

// Thrown by a command for bad arguments: printed with the command's usage,
// exit code 1.
struct CliUsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct CliCommand {
  const wchar_t* name;
  const wchar_t* usage;    // arguments after the name
  const wchar_t* summary;  // one line for --help
  int (*run)(const std::vector<std::wstring>& args);
};

const std::vector<CliCommand>& cli_commands();

struct CliCommandRegistration {
  explicit CliCommandRegistration(const CliCommand& command);
};
