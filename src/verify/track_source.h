// What the album pass needs from the outside world, as interfaces, so that
// the pass itself stays plain arithmetic and control flow: a decoder slot,
// the abort test and the whole-file pre-read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The stream format a decoder reports when it opens a file.
struct AudioFormat {
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint16_t bits_per_sample = 0;
};

// Why a file is opened: a short read of its beginning (the offset search,
// the next track's head) or a full decode (the checksum pass).
enum class DecodePurpose { kShortRead, kFullDecode };

enum class OpenResult { kOpened, kNoDecoder, kOpenFailed };

// A block of decoded interleaved PCM. Data may be null or shorter than a
// word; then it carries no samples.
struct DecodedBlock {
  const std::uint8_t* data = nullptr;
  std::size_t bytes = 0;
  bool end_of_stream = false;
};

// One decoder slot: one file open at a time, from open to close.
class TrackDecoder {
 public:
  virtual ~TrackDecoder() = default;
  // Finds a decoder for the file and opens it; on kOpened, `format` holds
  // the stream format and close() must follow.
  virtual OpenResult open(const std::wstring& path, DecodePurpose purpose, AudioFormat& format) = 0;
  // The next block; false when decoding failed. The data stays valid until
  // the next call.
  virtual bool decode_block(DecodedBlock& block) = 0;
  virtual void close() = 0;
};

// The worker around an album pass.
class AlbumPassHost {
 public:
  virtual ~AlbumPassHost() = default;
  // Zero-wait test of the worker's abort event.
  virtual bool abort_signalled() = 0;
  // Reads the whole file once, one worker at a time, so that decoding then
  // finds it in memory instead of competing for the disk.
  virtual void preread_file(const std::wstring& path) = 0;
  virtual TrackDecoder& decoder() = 0;
};
