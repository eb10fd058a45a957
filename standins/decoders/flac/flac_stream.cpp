#include "flac_stream.h"

namespace {
template <int kBytes>
void interleave(const FLAC__int32* const channels[], unsigned count, unsigned block, std::uint8_t* out) {
  for (unsigned i = 0; i < block; ++i) {
    for (unsigned c = 0; c < count; ++c) {
      const auto v = static_cast<std::uint32_t>(channels[c][i]);
      if constexpr (kBytes == 1) {
        // 8-bit PCM is unsigned, centred on 128.
        *out++ = static_cast<std::uint8_t>(v + 128);
      } else {
        for (int b = 0; b < kBytes; ++b) *out++ = static_cast<std::uint8_t>(v >> (8 * b));
      }
    }
  }
}
}  // namespace

FlacStream::~FlacStream() {
  if (decoder_) FLAC__stream_decoder_delete(decoder_);
}

bool FlacStream::start(XFile& file, const FlacStreamInfo& info) {
  if (decoder_) FLAC__stream_decoder_delete(decoder_);
  decoder_ = FLAC__stream_decoder_new();
  if (!decoder_) return false;
  file_ = &file;
  info_ = info;
  decoded_ = 0;
  failed_ = false;
  if (file.seek(0, FILE_BEGIN) != 0) return false;
  // Seeking, telling, length and end of file are left to libFLAC's defaults:
  // the stream is only ever read forward.
  return FLAC__stream_decoder_init_stream(decoder_, &FlacStream::on_read, nullptr, nullptr, nullptr, nullptr,
                                          &FlacStream::on_write, nullptr, &FlacStream::on_error,
                                          this) == FLAC__STREAM_DECODER_INIT_STATUS_OK &&
         FLAC__stream_decoder_process_until_end_of_metadata(decoder_) && !failed_;
}

bool FlacStream::next(const std::uint8_t*& data, std::size_t& length, bool& end) {
  if (!decoder_) return false;
  pcm_.clear();
  while (pcm_.empty()) {
    if (failed_) return false;
    if (FLAC__stream_decoder_get_state(decoder_) == FLAC__STREAM_DECODER_END_OF_STREAM) {
      if (info_.total_samples != 0 && decoded_ < info_.total_samples) return false;
      end = true;
      return true;
    }
    if (!FLAC__stream_decoder_process_single(decoder_) || failed_) return false;
  }
  data = pcm_.data();
  length = pcm_.size();
  return true;
}

FLAC__StreamDecoderReadStatus FlacStream::on_read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                                  void* self) {
  auto* s = static_cast<FlacStream*>(self);
  if (*bytes == 0) return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
  DWORD got = 0;
  if (!ReadFile(s->file_->handle, buffer, static_cast<DWORD>(*bytes), &got, nullptr)) {
    s->failed_ = true;
    return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
  }
  *bytes = got;
  return got == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderWriteStatus FlacStream::on_write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                    const FLAC__int32* const channels[], void* self) {
  auto* s = static_cast<FlacStream*>(self);
  const unsigned count = frame->header.channels;
  const unsigned bits = frame->header.bits_per_sample;
  // A frame that disagrees with the stream's format is damage, not a format change.
  if (count != s->info_.channels || bits != s->info_.bits_per_sample) {
    s->failed_ = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }
  const unsigned block = frame->header.blocksize;
  const unsigned bytes = (bits + 7) / 8;
  s->pcm_.resize(static_cast<std::size_t>(block) * count * bytes);
  std::uint8_t* out = s->pcm_.data();
  switch (bytes) {
    case 1: interleave<1>(channels, count, block, out); break;
    case 2: interleave<2>(channels, count, block, out); break;
    case 3: interleave<3>(channels, count, block, out); break;
    default: interleave<4>(channels, count, block, out); break;
  }
  s->decoded_ += block;
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void FlacStream::on_error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* self) {
  // Lost sync, a bad header, a CRC mismatch: the stream is damaged.
  static_cast<FlacStream*>(self)->failed_ = true;
}
