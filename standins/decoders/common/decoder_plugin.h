// The common part of our decoder plug-ins: one DecoderPlugin object per
// instance handle. The exported entry points (plugin_exports.cpp) check
// their arguments and call these operations; each format derives its own.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/decoder_blocks.h"
#include "library/item_list.h"

struct AudioFormat {
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint16_t bits_per_sample = 0;
  std::uint64_t sample_count = 0;  // sample frames per channel
};

class DecoderPlugin {
 public:
  explicit DecoderPlugin(HANDLE message_file) : message_file_(message_file) {}
  virtual ~DecoderPlugin() = default;
  DecoderPlugin(const DecoderPlugin&) = delete;
  DecoderPlugin& operator=(const DecoderPlugin&) = delete;

  // The extensions this plug-in decodes, dot included.
  virtual const std::vector<std::wstring>& extensions() const = 0;

  // Entry points, after the exports checked their pointers.
  std::int32_t get(const std::wstring& name, DecoderParamBlock& block);
  std::int32_t set(const std::wstring& name, DecoderParamBlock& block);
  std::int32_t open(DecoderOpenBlock& block);
  std::int32_t decode(DecoderDecodeBlock& block);
  // names: null = every tag; otherwise the NUL-separated list.
  std::int32_t delete_tags(const wchar_t* path, const wchar_t* names);

  // Writes one UTF-16LE line (CR LF) into the message file, if there is one.
  void message(const std::wstring& line);

 protected:
  // Opens the file for decoding (modes 1 and 5) or for its tags (mode 8);
  // fills the format, and the tags in mode 8.
  virtual bool open_file(const std::wstring& path, std::int32_t mode, AudioFormat& format, ItemList& tags) = 0;
  // The next piece of PCM: `data` empty with `end` set after the last one.
  // False on a decode error.
  virtual bool decode_next(const std::uint8_t*& data, std::size_t& length, bool& end) = 0;
  // Replaces the named tags (Set "IDTags").
  virtual bool write_tags(const std::wstring& path, const ItemList& tags) = 0;
  // Removes every tag (names null) or the named ones.
  virtual bool remove_tags(const std::wstring& path, const std::vector<std::wstring>* names) = 0;

 private:
  HANDLE message_file_;
  bool opened_ = false;
  std::wstring answer_;
  std::string properties_block_;
  std::string tags_block_;
};

// Each plug-in defines this: a new instance for Create.
DecoderPlugin* make_decoder_plugin(HANDLE message_file);

// Splits DeleteATag's list: names each ended by a NUL, one more NUL at the end.
std::vector<std::wstring> split_name_list(const wchar_t* list);
