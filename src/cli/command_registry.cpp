#include "cli/command_registry.h"

#include <algorithm>
#include <cwchar>

namespace {
std::vector<CliCommand>& table() {
  static std::vector<CliCommand> commands;
  return commands;
}
}  // namespace

const std::vector<CliCommand>& cli_commands() { return table(); }

CliCommandRegistration::CliCommandRegistration(const CliCommand& command) {
  auto& commands = table();
  const auto at = std::find_if(commands.begin(), commands.end(),
                               [&](const CliCommand& c) { return std::wcscmp(c.name, command.name) > 0; });
  commands.insert(at, command);
}
