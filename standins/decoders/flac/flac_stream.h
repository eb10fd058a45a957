// Decoding a FLAC file's frames with libFLAC, reading the file through our
// own handle (libFLAC's own file opening wants UTF-8 names on Windows).
#pragma once
#include <FLAC/stream_decoder.h>

#include <cstdint>
#include <vector>

#include "flac_metadata.h"
#include "library/xfile.h"

class FlacStream {
 public:
  FlacStream() = default;
  ~FlacStream();
  FlacStream(const FlacStream&) = delete;
  FlacStream& operator=(const FlacStream&) = delete;

  // Starts decoding `file` (kept open by the caller) from its beginning.
  bool start(XFile& file, const FlacStreamInfo& info);
  // The next frame as interleaved little-endian PCM (8-bit unsigned, wider
  // samples signed in (bits + 7) / 8 bytes); `end` set, without data, after
  // the last one. False at any decode error, including a stream that ends
  // before the sample count of its stream information.
  bool next(const std::uint8_t*& data, std::size_t& length, bool& end);

 private:
  static FLAC__StreamDecoderReadStatus on_read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                               void* self);
  static FLAC__StreamDecoderWriteStatus on_write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                 const FLAC__int32* const channels[], void* self);
  static void on_error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* self);

  FLAC__StreamDecoder* decoder_ = nullptr;
  XFile* file_ = nullptr;
  FlacStreamInfo info_;
  std::vector<std::uint8_t> pcm_;
  std::uint64_t decoded_ = 0;
  bool failed_ = false;
};
