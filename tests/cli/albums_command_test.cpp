// The albums command over index files written into a private data folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "library/byte_order.h"
#include "library/file_ops.h"
#include "library/index_files.h"
#include "library/text_convert.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace {
struct CliRun {
  DWORD exit_code = 0;
  std::string out;
  std::string err;
};

std::string read_pipe(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

// Runs the console front end with the arguments; stderr goes to a file so
// that one pipe cannot block the other.
CliRun run_cli(const std::wstring& arguments, const TempFolder& tmp) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  EXPECT_TRUE(CreatePipe(&read_end, &write_end, &inherit, 0));
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  const std::wstring err_path = tmp.file(L"stderr.txt");
  HANDLE err_file = CreateFileW(err_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = write_end;
  si.hStdError = err_file;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring command = L"\"" + dist_folder() + L"tallydisc-cli.exe\" " + arguments;
  PROCESS_INFORMATION pi{};
  CliRun run;
  const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(write_end);
  CloseHandle(err_file);
  EXPECT_TRUE(started);
  if (started) {
    run.out = read_pipe(read_end);
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &run.exit_code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(read_end);
  std::string err_bytes;
  load_whole_file(err_path, err_bytes);
  run.err = err_bytes;
  return run;
}

// A 24-bit bottom-up BMP of one colour.
std::string bmp(int w, int h) {
  const int row = (w * 3 + 3) / 4 * 4;
  std::string out = "BM";
  append_le<std::uint32_t>(out, static_cast<std::uint32_t>(54 + row * h));
  append_le<std::uint32_t>(out, 0);
  append_le<std::uint32_t>(out, 54);
  append_le<std::uint32_t>(out, 40);
  append_le<std::int32_t>(out, w);
  append_le<std::int32_t>(out, h);
  append_le<std::uint16_t>(out, 1);
  append_le<std::uint16_t>(out, 24);
  for (int i = 0; i < 6; ++i) append_le<std::uint32_t>(out, 0);
  out.append(static_cast<std::size_t>(row * h), '\x40');
  return out;
}

IndexedTrack track(std::int32_t id, const std::wstring& path, const std::wstring& artist, const std::wstring& album) {
  IndexedTrack t;
  t.file_id = id;
  t.path = path;
  t.properties.items = {{L"Audio Quality", L"Lossless", {}}, {L"Sample Count", L"588000", {}}};
  t.tags.items = {{L"album artist", artist, {}}, {L"album", album, {}}};
  return t;
}

// The application-data folder as a quoted argument (no trailing backslash,
// which would escape the closing quote).
std::wstring quoted(const TempFolder& tmp) {
  std::wstring folder = tmp.path();
  folder.pop_back();
  return L"\"" + folder + L"\"";
}

std::wstring data_folder_in(const TempFolder& tmp) {
  const std::wstring data = tmp.path() + L"Auralith";
  create_directory_tree(data);
  return data;
}
}  // namespace

TEST(AlbumsCommand, PrintsAlbumsInCreationOrderThenCorruptedCount) {
  TempFolder tmp;
  LibraryIndexBuilder builder;
  builder.add(track(1, L"C:\\M\\a\\1.flac", L"The Band", L"First"));
  IndexedTrack covered = track(2, L"C:\\M\\b\\1.flac", L"Other", L"Second \x00C9t\x00E9");
  covered.art = bmp(200, 100);
  builder.add(covered);
  builder.add(track(3, L"C:\\M\\a\\2.flac", L"The Band", L"First"));
  IndexedTrack broken = track(4, L"C:\\M\\a\\3.flac", L"The Band", L"First");
  broken.state = 1;
  builder.add(broken);
  ASSERT_TRUE(write_index_files(data_folder_in(tmp), builder.files()));

  const CliRun run = run_cli(L"albums --data " + quoted(tmp), tmp);
  EXPECT_EQ(run.exit_code, 0u) << run.err;
  EXPECT_EQ(run.out,
            "band-first-c:\\m\\a\\-.flac\tThe Band\tFirst\ttracks=2\tcover=none\n"
            "other-secondete-c:\\m\\b\\-.flac\tOther\tSecond \xC3\x89t\xC3\xA9\ttracks=1\tcover=100x50\n"
            "corrupted=1\n");

  // The global option before the command means the same.
  const CliRun global = run_cli(L"--data " + quoted(tmp) + L" albums --thumbnail 40", tmp);
  EXPECT_NE(global.out.find("cover=40x20"), std::string::npos) << global.out;
}

TEST(AlbumsCommand, AnInconsistentIndexExitsWithTheIndexMessage) {
  TempFolder tmp;
  LibraryIndexBuilder builder;
  builder.add(track(1, L"C:\\M\\a\\1.flac", L"A", L"B"));
  builder.file_index[0].set_entry(1 << 20, 0, 0);
  ASSERT_TRUE(write_index_files(data_folder_in(tmp), builder.files()));
  const CliRun run = run_cli(L"albums --data " + quoted(tmp), tmp);
  EXPECT_EQ(run.exit_code, 2u);
  EXPECT_NE(run.err.find("Error reading internal indexes, please clear database and try again"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.out, "");

  const CliRun usage = run_cli(L"albums --bogus", tmp);
  EXPECT_EQ(usage.exit_code, 1u);
}

TEST(AlbumsCommand, AnEmptyDataFolderHasNoAlbumsButNeedsItsMappedFiles) {
  TempFolder tmp;
  ASSERT_TRUE(write_index_files(data_folder_in(tmp), LibraryIndexBuilder().files()));
  const CliRun empty = run_cli(L"albums --data " + quoted(tmp), tmp);
  EXPECT_EQ(empty.exit_code, 0u) << empty.err;
  EXPECT_EQ(empty.out, "corrupted=0\n");
  TempFolder bare;
  const CliRun missing = run_cli(L"albums --data " + quoted(bare), bare);
  EXPECT_EQ(missing.exit_code, 2u);
}
