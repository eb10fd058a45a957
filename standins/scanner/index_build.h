// The stand-in scanner's work: walk the watch folders, read every audio file
// through the decoder plug-ins and write the library index files.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "audio_reader.h"

struct ScanOptions {
  bool only_read_tags = false;  // read tags and properties, do not decode
  bool force = false;           // rebuild from scratch, ignoring the old index
};

struct ScanHooks {
  std::function<void(std::uint32_t percent)> progress;
  std::function<bool()> quit_requested;
};

enum class ScanResult { kWritten, kQuit, kWriteFailed };

// Without `force`, a file whose path and last-write time are unchanged keeps
// its old record (no plug-in call), unless OnlyUpdateTagsInFileNames.bin
// names it: then its tags are read again. That file is emptied once the new
// index is written. A quit request leaves the old index as it was.
ScanResult build_library_index(const std::wstring& data_folder, const ScanOptions& options, AudioReader& reader,
                               const ScanHooks& hooks);
