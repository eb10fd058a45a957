#include "plugin_audio_reader.h"

#include <windows.h>

#include "audio/select_decoder.h"
#include "library/text_convert.h"

namespace {
// A property the plug-in answers as decimal text.
std::int64_t number_of(const ItemList& properties, const wchar_t* name) {
  const std::wstring text = properties.value_of(name);
  std::int64_t n = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    n = n * 10 + (c - L'0');
  }
  return n;
}

// Decodes from the open position to the end; false at the first decode error.
bool decode_to_end(clSvDecoder& slot) {
  for (;;) {
    DecoderDecodeBlock block{};
    if (slot.DecodeBlock(slot.instance, &block) == 0) return false;
    if (block.end_of_stream) return true;
  }
}
}  // namespace

bool PluginAudioReader::reads_extension(const std::wstring& extension) {
  const std::wstring key = ascii_lowercase(extension);
  auto it = extensions_.find(key);
  if (it != extensions_.end()) return it->second;
  const DecoderCreateBlock create{};
  const bool found = select_decoder(L"probe" + key, slot_, &create);
  slot_.destroy_instance();
  return extensions_.emplace(key, found).first->second;
}

std::optional<ScannedAudio> PluginAudioReader::read(const std::wstring& path, bool decode) {
  const DecoderCreateBlock create{nullptr, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
  if (!select_decoder(path, slot_, &create)) return std::nullopt;
  ScannedAudio audio;
  DecoderOpenBlock open{};
  open.path = path.c_str();
  open.mode = kOpenTags;
  if (slot_.Open(slot_.instance, &open) == 0) {
    slot_.destroy_instance();
    return std::nullopt;
  }
  audio.tags = parse_item_block(static_cast<const std::uint8_t*>(open.tags), open.tags_length);
  DecoderParamBlock query{};
  if (slot_.Get(slot_.instance, kPropertiesQuery, &query) && query.data) {
    const ItemList properties = parse_item_block(static_cast<const std::uint8_t*>(query.data), query.data_length);
    audio.sample_count = number_of(properties, decoder_property::kSampleCount);
    audio.audio_quality = properties.value_of(decoder_property::kAudioQuality);
  }
  audio.channels = open.channels;
  audio.sample_rate = open.sample_rate;
  audio.bits_per_sample = open.bits_per_sample;
  unsigned char close_block[kCloseBlockSize] = {};
  slot_.Close(slot_.instance, close_block);
  slot_.destroy_instance();

  if (decode) {
    const DecoderCreateBlock for_decoding{};
    DecoderOpenBlock full{};
    full.path = path.c_str();
    full.mode = kOpenDecode;
    audio.corrupted = !select_decoder(path, slot_, &for_decoding) || slot_.Open(slot_.instance, &full) == 0 ||
                      !decode_to_end(slot_);
    slot_.destroy_instance();
  }
  return audio;
}
