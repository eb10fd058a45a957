#include "decoder_plugin.h"

#include "library/text_convert.h"

namespace {
constexpr wchar_t kLosslessQuality[] = L"Lossless";
// The only audio format delivered: integer PCM.
constexpr std::uint16_t kFormatPcm = 1;

bool valid_handle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

std::string properties_of(const AudioFormat& f) {
  ItemList list;
  list.items.push_back({decoder_property::kSampleCount, std::to_wstring(f.sample_count), {}});
  list.items.push_back({decoder_property::kChannels, std::to_wstring(f.channels), {}});
  list.items.push_back({decoder_property::kSampleRate, std::to_wstring(f.sample_rate), {}});
  list.items.push_back({decoder_property::kBitsPerSample, std::to_wstring(f.bits_per_sample), {}});
  list.items.push_back({decoder_property::kAudioQuality, kLosslessQuality, {}});
  return write_item_block(list);
}
}  // namespace

std::vector<std::wstring> split_name_list(const wchar_t* list) {
  std::vector<std::wstring> names;
  for (const wchar_t* p = list; *p != L'\0';) {
    std::wstring name(p);
    p += name.size() + 1;
    names.push_back(name == kEmptyTagName ? std::wstring() : name);
  }
  return names;
}

void DecoderPlugin::message(const std::wstring& line) {
  if (!valid_handle(message_file_)) return;
  const std::wstring text = line + L"\r\n";
  std::string bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<char>(static_cast<std::uint16_t>(c) & 0xFF));
    bytes.push_back(static_cast<char>(static_cast<std::uint16_t>(c) >> 8));
  }
  DWORD written = 0;
  WriteFile(message_file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::int32_t DecoderPlugin::get(const std::wstring& name, DecoderParamBlock& block) {
  if (equals_ascii_nocase(name, kDecodesQuery)) {
    const auto& list = extensions();
    if (block.index < 0 || static_cast<std::size_t>(block.index) >= list.size()) {
      block.text = nullptr;
      return 0;
    }
    answer_ = list[static_cast<std::size_t>(block.index)];
    block.text = answer_.c_str();
    return 1;
  }
  if (equals_ascii_nocase(name, kPropertiesQuery)) {
    if (!opened_) return 0;
    block.data = properties_block_.data();
    block.data_length = static_cast<std::uint32_t>(properties_block_.size());
    return 1;
  }
  return 0;
}

std::int32_t DecoderPlugin::set(const std::wstring& name, DecoderParamBlock& block) {
  if (!equals_ascii_nocase(name, kIDTagsSetting)) {
    message(L"Unknown setting: " + name);
    return 0;
  }
  if (block.text == nullptr || (block.data == nullptr && block.data_length != 0)) {
    message(L"No file or tag data given");
    return 0;
  }
  const ItemList tags = parse_item_block(static_cast<const std::uint8_t*>(block.data), block.data_length);
  return write_tags(block.text, tags) ? 1 : 0;
}

std::int32_t DecoderPlugin::open(DecoderOpenBlock& block) {
  opened_ = false;
  if (block.path == nullptr) return 0;
  if (block.mode != kOpenSampled && block.mode != kOpenDecode && block.mode != kOpenTags) {
    message(L"Unknown open mode " + std::to_wstring(block.mode));
    return 0;
  }
  AudioFormat format;
  ItemList tags;
  if (!open_file(block.path, block.mode, format, tags)) return 0;
  const std::uint16_t bytes_per_sample = static_cast<std::uint16_t>((format.bits_per_sample + 7) / 8);
  block.format_tag = kFormatPcm;
  block.channels = format.channels;
  block.sample_rate = format.sample_rate;
  block.block_align = static_cast<std::uint16_t>(bytes_per_sample * format.channels);
  block.avg_bytes_per_sec = format.sample_rate * block.block_align;
  block.bits_per_sample = format.bits_per_sample;
  properties_block_ = properties_of(format);
  if (block.mode == kOpenTags) {
    tags_block_ = write_item_block(tags);
    block.tags = tags_block_.data();
    block.tags_length = static_cast<std::uint32_t>(tags_block_.size());
  }
  opened_ = true;
  return 1;
}

std::int32_t DecoderPlugin::decode(DecoderDecodeBlock& block) {
  if (!opened_) return 0;
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;
  bool end = false;
  if (!decode_next(data, length, end)) return 0;
  block.data = length != 0 ? data : nullptr;
  block.length = static_cast<std::uint32_t>(length);
  block.end_of_stream = end ? 1 : 0;
  return 1;
}

std::int32_t DecoderPlugin::delete_tags(const wchar_t* path, const wchar_t* names) {
  if (path == nullptr) return 0;
  if (names == nullptr) return remove_tags(path, nullptr) ? 1 : 0;
  const std::vector<std::wstring> list = split_name_list(names);
  return remove_tags(path, &list) ? 1 : 0;
}
