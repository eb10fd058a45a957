// check [--req2] --records FILE[,FILE...] TRACK...: the album pass over the
// given files as tracks 1..N, matched against the entries of the record
// files; then the album verdict and the harvest as a run makes them (no
// result cache kept). Prints the track lines and, last, the album's line
// "album: LIST[: MESSAGE]".
#include <windows.h>

#include "audio/sv_decoder.h"
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "shell/xevent.h"
#include "verify/album_conclusion.h"
#include "verify/plugin_track_decoder.h"
#include "verify/record_files.h"
#include "verify/sample_words.h"
#include "verify/worker_album_pass.h"

namespace {
std::vector<std::wstring> split_list(const std::wstring& text) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(L',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::wstring::npos) return parts;
    start = comma + 1;
  }
}

// The track's length in sectors: its decoded sample frames / 588. A file
// that cannot be decoded counts what it gave before the failure; the album
// pass then reports the failure.
std::int32_t decoded_sectors(const std::wstring& path, clSvDecoder& slot) {
  PluginTrackDecoder decoder(slot);
  AudioFormat format;
  if (decoder.open(path, DecodePurpose::kFullDecode, format) != OpenResult::kOpened) return 0;
  const std::uint64_t frame_bytes = static_cast<std::uint64_t>(format.channels) * (format.bits_per_sample / 8);
  if (frame_bytes == 0) return 0;
  std::uint64_t bytes = 0;
  DecodedBlock block;
  while (decoder.decode_block(block)) {
    if (block.data) bytes += block.bytes;
    if (block.end_of_stream) break;
  }
  return static_cast<std::int32_t>(bytes / frame_bytes / kWordsPerSector);
}

int run_check(const std::vector<std::wstring>& args) {
  bool require_two = false;
  bool have_records = false;
  std::vector<std::wstring> record_files;
  std::vector<std::wstring> paths;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--req2") {
      require_two = true;
    } else if (args[i] == L"--records") {
      if (i + 1 >= args.size()) throw CliUsageError("--records needs a list of files");
      record_files = split_list(args[++i]);
      have_records = true;
    } else if (args[i].rfind(L"--", 0) == 0) {
      throw CliUsageError("unknown option");
    } else {
      paths.push_back(args[i]);
    }
  }
  if (!have_records) throw CliUsageError("--records is required");
  if (paths.empty()) throw CliUsageError("check needs at least one track");

  clSvDecoder slot;
  std::vector<TDTrackCheck> tracks(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    tracks[i].track_number = static_cast<std::int32_t>(i + 1);
    tracks[i].path = paths[i];
    tracks[i].length = decoded_sectors(paths[i], slot);
  }
  read_record_files(record_files, tracks);

  const XEvent never_aborted = XEvent::adopt(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const AlbumPassResult result = run_album_pass(tracks, require_two, never_aborted, slot);
  TDAlbumCheck album;
  album.tracks = std::move(tracks);
  album.statuses = result.statuses;
  album.lines = result.lines;
  const TDAlbumConclusion conclusion = conclude_album(album, result.average_confidence, result.cannot_check_count);
  for (const std::wstring& line : conclusion.lines) out_line(line);
  out_line(conclusion.summary);
  return kExitOk;
}

const CliCommandRegistration registration{
    {L"check", L"[--req2] --records FILE[,FILE...] TRACK...",
     L"verify the TRACK files as one album against database record files (--req2: confidence 2 or more)",
     run_check}};
}  // namespace
