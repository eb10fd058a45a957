// tallydisc-cli info FILE: the stream format and the MD5 of the decoded PCM,
// decoded the way the verification engine decodes a track.
#include <cinttypes>
#include <cstdio>

#include "audio/select_decoder.h"
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "library/text_convert.h"
#include "net/md5.h"

namespace {
int run_info(const std::vector<std::wstring>& args) {
  if (args.size() != 1) throw CliUsageError("info takes one file");
  const std::wstring& path = args[0];
  clSvDecoder slot;
  const DecoderCreateBlock create{};
  if (!select_decoder(path, slot, &create)) {
    err_line(L"no decoder for " + path);
    return kExitFailed;
  }
  DecoderOpenBlock open{};
  open.path = path.c_str();
  open.mode = kOpenDecode;
  if (slot.Open(slot.instance, &open) == 0 || open.block_align == 0) {
    err_line(L"cannot open " + path);
    return kExitFailed;
  }
  Kx::hasherMD5 md5;
  std::uint64_t bytes = 0;
  for (;;) {
    DecoderDecodeBlock block{};
    if (slot.DecodeBlock(slot.instance, &block) == 0) {
      err_line(L"decode error after " + std::to_wstring(bytes / open.block_align) + L" samples: " + path);
      return kExitFailed;
    }
    if (block.data != nullptr && block.length != 0) {
      md5.write(block.data, block.length);
      bytes += block.length;
    }
    if (block.end_of_stream) break;
  }
  slot.destroy_instance();
  char line[160];
  std::snprintf(line, sizeof line, "channels=%d rate=%d bits=%d samples=%lld md5=%s", open.channels,
                static_cast<int>(open.sample_rate), open.bits_per_sample,
                static_cast<long long>(bytes / open.block_align), md5.finishHex().c_str());
  out_line(utf8_to_wide(line));
  return kExitOk;
}

const CliCommandRegistration registration({L"info", L"FILE",
                                           L"decode FILE through its plug-in: format, sample count, MD5 of the PCM",
                                           &run_info});
}  // namespace
