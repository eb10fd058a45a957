// Drives a plug-in through the host the way the engine does, for the
// python tests:
//   plugin_tool set FILE BLOCKFILE       Set "IDTags" with the item block in
//                                        BLOCKFILE
//   plugin_tool set-held FILE BLOCKFILE  the same while FILE is held open
//                                        without delete sharing, so the new
//                                        version cannot replace it
//   plugin_tool delete FILE [NAME...]    DeleteATag: the names, or every tag
//   plugin_tool properties FILE MODE     Open in MODE, then print the format
//                                        of the open block and Get "Properties"
// The plug-in's messages go to stderr; exit 0 when the call succeeded.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "audio/decoder_message_file.h"
#include "audio/program_folder.h"
#include "audio/select_decoder.h"
#include "library/item_list.h"
#include "library/text_convert.h"
#include "library/win_handles.h"
#include "library/xfile.h"
#include "support/paths.h"

namespace {
int usage() {
  std::fputs("usage: plugin_tool set|set-held FILE BLOCKFILE | delete FILE [NAME...] | properties FILE MODE\n", stderr);
  return 2;
}

int run(const std::vector<std::wstring>& args) {
  if (args.size() < 2) return usage();
  const std::wstring& command = args[0];
  const std::wstring& path = args[1];
  const DecoderMessageFile messages;
  const DecoderCreateBlock create = messages.create_block();
  clSvDecoder slot;
  if (!select_decoder(path, slot, &create)) {
    std::fputs("no decoder\n", stderr);
    return 1;
  }
  std::int32_t result = 0;
  if ((command == L"set" || command == L"set-held") && args.size() == 3) {
    std::string block;
    if (!load_whole_file(args[2], block)) return usage();
    XFileHandle holder;
    if (command == L"set-held")
      holder.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr));
    DecoderParamBlock p{};
    p.data_length = static_cast<std::uint32_t>(block.size());
    p.text = path.c_str();
    p.data = block.data();
    result = slot.Set(slot.instance, kIDTagsSetting, &p);
  } else if (command == L"delete") {
    std::wstring list;
    for (std::size_t i = 2; i < args.size(); ++i) list += (args[i].empty() ? kEmptyTagName : args[i]) + L'\0';
    list += L'\0';
    result = slot.DeleteATag(slot.instance, path.c_str(), args.size() > 2 ? list.c_str() : nullptr);
  } else if (command == L"properties" && args.size() == 3) {
    DecoderOpenBlock open{};
    open.path = path.c_str();
    open.mode = std::stoi(args[2]);
    if (slot.Open(slot.instance, &open) != 0) {
      std::printf("format=%u channels=%u rate=%u bits=%u align=%u bytes/s=%u\n", open.format_tag, open.channels,
                  static_cast<unsigned>(open.sample_rate), open.bits_per_sample, open.block_align,
                  static_cast<unsigned>(open.avg_bytes_per_sec));
      DecoderParamBlock p{};
      result = slot.Get(slot.instance, kPropertiesQuery, &p);
      const ItemList properties = parse_item_block(static_cast<const std::uint8_t*>(p.data), p.data_length);
      for (const Item& item : properties.items)
        std::printf("%s=%s\n", wide_to_utf8(item.name).c_str(), wide_to_utf8(item.value).c_str());
    }
  } else {
    return usage();
  }
  slot.destroy_instance();
  for (const std::wstring& line : messages.lines()) std::fprintf(stderr, "%s\n", wide_to_utf8(line).c_str());
  return result != 0 ? 0 : 1;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The plug-ins of the build, not a "decoder\" beside this test program.
  set_program_folder_override(dist_folder());
  return run(std::vector<std::wstring>(argv + 1, argv + argc));
}
