// tallydisc-cli tags FILE: the tags the file's plug-in reads, in its order.
#include "audio/decoder_message_file.h"
#include "audio/select_decoder.h"
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "library/item_list.h"

namespace {
int run_tags(const std::vector<std::wstring>& args) {
  if (args.size() != 1) throw CliUsageError("tags takes one file");
  const std::wstring& path = args[0];
  const DecoderMessageFile messages;
  const DecoderCreateBlock create = messages.create_block();
  clSvDecoder slot;
  if (!select_decoder(path, slot, &create)) {
    err_line(L"no decoder for " + path);
    return kExitFailed;
  }
  DecoderOpenBlock open{};
  open.path = path.c_str();
  open.mode = kOpenTags;
  if (slot.Open(slot.instance, &open) == 0) {
    for (const std::wstring& line : messages.lines()) err_line(line);
    err_line(L"cannot read the tags of " + path);
    return kExitFailed;
  }
  const ItemList tags = parse_item_block(static_cast<const std::uint8_t*>(open.tags), open.tags_length);
  unsigned char close_block[kCloseBlockSize] = {};
  slot.Close(slot.instance, close_block);
  slot.destroy_instance();
  for (const Item& item : tags.items) out_line(item.name + L"=" + item.value);
  return kExitOk;
}

const CliCommandRegistration registration({L"tags", L"FILE", L"list the tags FILE's plug-in reads, one name=value per line",
                                           &run_tags});
}  // namespace
