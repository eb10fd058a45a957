// What the scanner learns of one audio file: its stream format, sample
// count, quality text and tags, and whether it decodes to the end.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "library/item_list.h"

struct ScannedAudio {
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint16_t bits_per_sample = 0;
  std::int64_t sample_count = 0;
  std::wstring audio_quality;  // "Lossless" for lossless formats
  ItemList tags;
  bool corrupted = false;  // a full decode failed before the end
};

class AudioReader {
 public:
  virtual ~AudioReader() = default;
  // Whether a decoder plug-in reads files with this extension (".flac").
  virtual bool reads_extension(const std::wstring& extension) = 0;
  // Nothing when the file cannot be opened at all. With `decode` every
  // sample is decoded, and a failure marks the file corrupted.
  virtual std::optional<ScannedAudio> read(const std::wstring& path, bool decode) = 0;
};
