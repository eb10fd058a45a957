#include "verify/plugin_track_decoder.h"

#include "audio/select_decoder.h"

OpenResult PluginTrackDecoder::open(const std::wstring& path, DecodePurpose purpose, AudioFormat& format) {
  const DecoderCreateBlock create{};  // decoding needs no message file
  if (!select_decoder(path, slot_, &create)) return OpenResult::kNoDecoder;
  DecoderOpenBlock block{};
  block.path = path.c_str();
  block.mode = purpose == DecodePurpose::kFullDecode ? kOpenDecode : kOpenSampled;
  if (!slot_.Open || !slot_.instance || slot_.Open(slot_.instance, &block) == 0) {
    slot_.destroy_instance();
    return OpenResult::kOpenFailed;
  }
  format.channels = block.channels;
  format.sample_rate = block.sample_rate;
  format.bits_per_sample = block.bits_per_sample;
  return OpenResult::kOpened;
}

bool PluginTrackDecoder::decode_block(DecodedBlock& out) {
  out = DecodedBlock{};
  if (!slot_.DecodeBlock || !slot_.instance) return false;
  DecoderDecodeBlock block{};
  if (slot_.DecodeBlock(slot_.instance, &block) == 0) return false;
  out.data = static_cast<const std::uint8_t*>(block.data);
  out.bytes = block.length;
  out.end_of_stream = block.end_of_stream != 0;
  return true;
}

void PluginTrackDecoder::close() { slot_.destroy_instance(); }
