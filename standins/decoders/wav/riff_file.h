// The RIFF/WAVE container: "RIFF" size "WAVE", then chunks of
// { 4-byte id, uint32 size, data, one pad byte when the size is odd }.
// "fmt " holds the stream format (PCM, or WAVE_FORMAT_EXTENSIBLE with the
// PCM sub-format), "data" the interleaved samples, "LIST" with type "INFO"
// the tags.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "library/xfile.h"

struct RiffChunk {
  std::string id;
  std::uint64_t offset = 0;  // of the chunk header
  std::uint32_t size = 0;    // of the data, without header and pad byte
  bool complete = false;     // the file holds all of its data (pad byte aside)
};

struct WavLayout {
  std::uint64_t file_size = 0;
  std::vector<RiffChunk> chunks;
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint16_t bits_per_sample = 0;
  std::uint16_t block_align = 0;
  RiffChunk data;  // the first "data" chunk (empty id: none)
};

inline constexpr std::uint32_t kRiffHeaderSize = 12;
inline constexpr std::uint32_t kChunkHeaderSize = 8;

// Reads the chunk list and the format. False (with a reason) when the file
// is not a PCM WAVE file we can decode.
bool read_wav_layout(XFile& file, WavLayout& layout, std::wstring& reason);

// The data of one complete chunk.
bool read_chunk_data(XFile& file, const RiffChunk& chunk, std::string& data);

// Whether a chunk is a LIST of type INFO.
bool is_info_list(XFile& file, const RiffChunk& chunk);
