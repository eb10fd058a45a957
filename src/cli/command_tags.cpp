// tallydisc-cli tags FILE: the tags the file's plug-in reads, in its order.
#include <windows.h>

#include "audio/select_decoder.h"
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "library/item_list.h"
#include "library/win_handles.h"
#include "library/xfile.h"

namespace {
// A scratch file for the plug-in's messages, removed when closed.
XFileHandle make_message_file() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"TMP", 0, name) == 0) return {};
  return XFileHandle(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

void print_messages(HANDLE message_file) {
  XFile file;
  file.handle = message_file;  // borrowed: owns_handle stays false
  if (file.seek(0, FILE_BEGIN) != 0) return;
  std::wstring line;
  while (read_line(file, line, true, false))
    if (!line.empty()) err_line(line);
}

int run_tags(const std::vector<std::wstring>& args) {
  if (args.size() != 1) throw CliUsageError("tags takes one file");
  const std::wstring& path = args[0];
  XFileHandle messages = make_message_file();
  const DecoderCreateBlock create{messages.valid() ? messages.get() : nullptr, INVALID_HANDLE_VALUE,
                                  INVALID_HANDLE_VALUE};
  clSvDecoder slot;
  if (!select_decoder(path, slot, &create)) {
    err_line(L"no decoder for " + path);
    return kExitFailed;
  }
  DecoderOpenBlock open{};
  open.path = path.c_str();
  open.mode = kOpenTags;
  if (slot.Open(slot.instance, &open) == 0) {
    print_messages(messages.get());
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
