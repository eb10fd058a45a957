#include "audio/scanner_protocol.h"

std::wstring scanner_run_id(std::uint32_t tick_count) {
  // "%d" of the tick count: the signed reading of the 32-bit value.
  return L"sid-dup-" + std::to_wstring(static_cast<std::int32_t>(tick_count));
}

ScannerObjectNames scanner_object_names(const std::wstring& run_id) {
  ScannerObjectNames n;
  n.minimized = run_id + L"-minimized";
  n.paused = run_id + L"-paused";
  n.settings_clicked = run_id + L"-settingsclicked";
  n.quit = run_id + L"-quitscanner";
  n.shared_block = run_id + L"-pcdone";
  return n;
}

std::wstring scanner_command_line(const ScannerLaunch& launch) {
  std::wstring line = L"\"" + launch.program_folder + L"scanner.exe\" --ParentWND=\"" +
                      std::to_wstring(launch.parent_window) + L"\" --IDs=\"" + launch.run_id + L"\" --wantsettings";
  if (!launch.decode_all) line += L" --OnlyReadTags";
  if (launch.force) line += L" --Force";
  return line;
}

namespace {
bool take_value(const std::wstring& arg, const wchar_t* prefix, std::wstring& out) {
  const std::wstring p = prefix;
  if (arg.compare(0, p.size(), p) != 0) return false;
  out = arg.substr(p.size());
  if (out.size() >= 2 && out.front() == L'"' && out.back() == L'"') out = out.substr(1, out.size() - 2);
  return true;
}
}  // namespace

ScannerArguments parse_scanner_arguments(int argc, const wchar_t* const* argv) {
  ScannerArguments a;
  for (int i = 0; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (take_value(arg, L"--ParentWND=", a.parent_window) || take_value(arg, L"--IDs=", a.run_id)) continue;
    if (arg == L"--wantsettings") a.want_settings = true;
    else if (arg == L"--OnlyReadTags") a.only_read_tags = true;
    else if (arg == L"--Force") a.force = true;
  }
  return a;
}
