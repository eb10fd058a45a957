#include "audio/scanner_control.h"

#include <gtest/gtest.h>

#include "audio/program_folder.h"
#include "library/file_ops.h"
#include "library/known_folders.h"
#include "library/watch_folder_list.h"
#include "shell/data_folder.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace {
// Polls as the main window's timer does until the scanner has ended.
bool wait_until_ended(XScannerControl& scanner, std::uint32_t& last_percent) {
  for (int tick = 0; tick < 240; ++tick) {
    const ScannerPoll poll = scanner.poll();
    if (poll.percent) last_percent = *poll.percent;
    if (poll.ended) return true;
    Sleep(250);
  }
  return false;
}

// A data folder whose watch list names an empty music folder.
void use_empty_library(const TempFolder& tmp) {
  set_appdata_folder_override(tmp.path());
  create_directory_tree(tmp.file(L"music"));
  WatchFolderList(data_folder()).save({tmp.file(L"music")});
}

class ScannerControl : public ::testing::Test {
 protected:
  void SetUp() override { set_program_folder_override(dist_folder()); }
  void TearDown() override {
    set_program_folder_override(L"");
    set_appdata_folder_override(L"");
  }
};
}  // namespace

TEST_F(ScannerControl, ScannerRunsToItsEndAndWritesTheIndex) {
  TempFolder tmp;
  use_empty_library(tmp);
  XScannerControl scanner;
  ASSERT_TRUE(scanner.launch_scanner(false, nullptr));
  EXPECT_EQ(scanner.command_line().rfind(L"\"" + dist_folder() + L"scanner.exe\" --ParentWND=\"0\" --IDs=\"", 0), 0u);
  std::uint32_t percent = 0;
  ASSERT_TRUE(wait_until_ended(scanner, percent));
  EXPECT_FALSE(scanner.running());
  EXPECT_EQ(percent, 100u);
  EXPECT_TRUE(file_exists(data_file_path(L"FileIndex.bin")));
}

TEST_F(ScannerControl, QuitEventEndsTheScannerWithoutWritingAndNamesAreNew) {
  TempFolder tmp;
  use_empty_library(tmp);
  XScannerControl scanner;
  ASSERT_TRUE(scanner.launch_scanner(true, nullptr));
  const std::wstring first_id = scanner.run_id();
  scanner.request_quit();  // set before the scanner looks at it
  std::uint32_t percent = 0;
  ASSERT_TRUE(wait_until_ended(scanner, percent));
  EXPECT_FALSE(file_exists(data_file_path(L"FileIndex.bin")));

  Sleep(20);  // a new tick count, so a new run identifier
  ASSERT_TRUE(scanner.restart(nullptr));
  EXPECT_NE(scanner.run_id(), first_id);
  ASSERT_TRUE(wait_until_ended(scanner, percent));
  EXPECT_TRUE(file_exists(data_file_path(L"FileIndex.bin")));
}

TEST_F(ScannerControl, MissingScannerIsReported) {
  TempFolder tmp;
  set_program_folder_override(tmp.path());
  XScannerControl scanner;
  EXPECT_FALSE(scanner.launch_scanner(false, nullptr));
  EXPECT_FALSE(scanner.running());
  EXPECT_EQ(scanner_launch_error_text(scanner.last_error()), L"Could not start scanner.\nError code: 2");
}
