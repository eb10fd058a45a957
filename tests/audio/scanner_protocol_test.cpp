#include "audio/scanner_protocol.h"

#include <gtest/gtest.h>

TEST(ScannerProtocol, CommandLineSwitches) {
  ScannerLaunch launch;
  launch.program_folder = L"C:\\Program Files\\Auralith\\";
  launch.parent_window = 655618;
  launch.run_id = scanner_run_id(123456);
  EXPECT_EQ(scanner_command_line(launch),
            L"\"C:\\Program Files\\Auralith\\scanner.exe\" --ParentWND=\"655618\" --IDs=\"sid-dup-123456\" "
            L"--wantsettings --OnlyReadTags");
  launch.decode_all = true;
  launch.force = true;
  const std::wstring line = scanner_command_line(launch);
  EXPECT_EQ(line.substr(line.size() - 23), L" --wantsettings --Force");
}

TEST(ScannerProtocol, NamesDeriveFromTheRunId) {
  EXPECT_EQ(scanner_run_id(0xFFFFFFFFu), L"sid-dup--1");  // the tick count printed signed
  const ScannerObjectNames n = scanner_object_names(L"sid-dup-42");
  EXPECT_EQ(n.minimized, L"sid-dup-42-minimized");
  EXPECT_EQ(n.paused, L"sid-dup-42-paused");
  EXPECT_EQ(n.settings_clicked, L"sid-dup-42-settingsclicked");
  EXPECT_EQ(n.quit, L"sid-dup-42-quitscanner");
  EXPECT_EQ(n.shared_block, L"sid-dup-42-pcdone");
}

TEST(ScannerProtocol, ArgumentsRoundTrip) {
  const wchar_t* argv[] = {L"--ParentWND=\"17\"", L"--IDs=\"sid-dup-9\"", L"--wantsettings", L"--Force"};
  const ScannerArguments a = parse_scanner_arguments(4, argv);
  EXPECT_EQ(a.parent_window, L"17");
  EXPECT_EQ(a.run_id, L"sid-dup-9");
  EXPECT_TRUE(a.want_settings);
  EXPECT_TRUE(a.force);
  EXPECT_FALSE(a.only_read_tags);
}
