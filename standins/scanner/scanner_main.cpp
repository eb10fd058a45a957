// scanner.exe, the stand-in library scanner. It honours the scanner's
// command line, its four named events and its shared progress block:
//   --IDs="<run id>"   names the events and the shared block
//   --OnlyReadTags     read tags and properties only; otherwise decode every
//                      file and index a file that fails as corrupted
//   --Force            rebuild the index from scratch
//   --ParentWND, --wantsettings  accepted; this scanner has no window
// It writes the library index into the data folder and ends when done or
// when the quit event is set.
#include <windows.h>
#include <shellapi.h>

#include "audio/scanner_protocol.h"
#include "audio/shared_block.h"
#include "index_build.h"
#include "plugin_audio_reader.h"
#include "shell/data_folder.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const ScannerArguments args = parse_scanner_arguments(argc - 1, argv + 1);
  LocalFree(argv);
  XHandle quit;
  XSharedBlock progress;
  if (!args.run_id.empty()) {
    const ScannerObjectNames names = scanner_object_names(args.run_id);
    quit.reset(CreateEventW(nullptr, TRUE, FALSE, names.quit.c_str()));
    progress.open(names.shared_block);
  }
  ScanHooks hooks;
  hooks.progress = [&](std::uint32_t percent) { progress.write(percent); };
  hooks.quit_requested = [&] { return quit && WaitForSingleObject(quit.get(), 0) == WAIT_OBJECT_0; };

  create_data_folder();
  PluginAudioReader reader;
  const ScanOptions options{args.only_read_tags, args.force};
  switch (build_library_index(data_folder(), options, reader, hooks)) {
    case ScanResult::kWritten:
    case ScanResult::kQuit:
      return 0;
    case ScanResult::kWriteFailed:
      return 2;
  }
  return 0;
}
