// Whole album pass against decoding alone, on the same files in the same
// process: bench/album_pass_ratio.py makes the album and the records and
// runs this program under wine.
//   album_pass_timing ROUNDS RECORDS TRACK...
// Prints "decode_ms=%.1f pass_ms=%.1f ratio=%.3f", the best round of each,
// in CPU time of the thread (the machine may be busy with other work).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <limits>

#include "audio/program_folder.h"
#include "shell/xevent.h"
#include "support/paths.h"
#include "verify/plugin_track_decoder.h"
#include "verify/record_files.h"
#include "verify/sample_words.h"
#include "verify/worker_album_pass.h"

namespace {
// User and kernel time of this thread, in milliseconds.
double thread_cpu_ms() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& f) { return (static_cast<std::uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// Decodes a file to its end the way the checksum pass does; returns its
// sample frames (stereo 16-bit).
std::uint64_t decode_only(const std::wstring& path, clSvDecoder& slot) {
  PluginTrackDecoder decoder(slot);
  AudioFormat format;
  if (decoder.open(path, DecodePurpose::kFullDecode, format) != OpenResult::kOpened) return 0;
  std::uint64_t bytes = 0;
  DecodedBlock block;
  while (decoder.decode_block(block)) {
    if (block.data) bytes += block.bytes;
    if (block.end_of_stream) break;
  }
  return bytes / 4;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: album_pass_timing ROUNDS RECORDS TRACK...\n");
    return 1;
  }
  const int rounds = std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10)));
  // The plug-ins of the build's runtime layout.
  set_program_folder_override(dist_folder());
  const std::vector<std::wstring> records{argv[2]};
  clSvDecoder slot;
  std::vector<TDTrackCheck> tracks;
  for (int i = 3; i < argc; ++i) {
    TDTrackCheck t;
    t.track_number = i - 2;
    t.path = argv[i];
    t.length = static_cast<std::int32_t>(decode_only(t.path, slot) / kWordsPerSector);
    tracks.push_back(t);
  }
  const XEvent never_aborted = XEvent::adopt(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  double best_decode = std::numeric_limits<double>::max();
  double best_pass = std::numeric_limits<double>::max();
  std::size_t verified = 0;
  for (int r = 0; r < rounds; ++r) {
    double start = thread_cpu_ms();
    for (const auto& t : tracks) decode_only(t.path, slot);
    best_decode = std::min(best_decode, thread_cpu_ms() - start);

    start = thread_cpu_ms();
    std::vector<TDTrackCheck> album = tracks;
    read_record_files(records, album);
    const AlbumPassResult result = run_album_pass(album, false, never_aborted, slot);
    best_pass = std::min(best_pass, thread_cpu_ms() - start);
    verified = static_cast<std::size_t>(std::count(result.statuses.begin(), result.statuses.end(), 0u));
  }
  std::printf("decode_ms=%.1f pass_ms=%.1f ratio=%.3f verified=%zu\n", best_decode, best_pass,
              best_pass / best_decode, verified);
  return 0;
}
