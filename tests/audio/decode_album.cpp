// The decoding side of the decode benchmark (scripts/bench-decode.sh): every
// file given is decoded the way the verification engine decodes a track:
// select_decoder on one slot, Open in mode 5, DecodeBlock to the end,
// Destroy. Prints the number of PCM bytes; exit 1 at the first failure.
#include <cstdio>
#include <string>

#include "audio/program_folder.h"
#include "audio/select_decoder.h"
#include "support/paths.h"

int wmain(int argc, wchar_t** argv) {
  set_program_folder_override(dist_folder());
  clSvDecoder slot;
  const DecoderCreateBlock create{};
  unsigned long long total = 0;
  for (int i = 1; i < argc; ++i) {
    if (!select_decoder(argv[i], slot, &create)) return 1;
    DecoderOpenBlock open{};
    open.path = argv[i];
    open.mode = kOpenDecode;
    if (slot.Open(slot.instance, &open) == 0) return 1;
    for (;;) {
      DecoderDecodeBlock block{};
      if (slot.DecodeBlock(slot.instance, &block) == 0) return 1;
      total += block.length;
      if (block.end_of_stream) break;
    }
    slot.destroy_instance();
  }
  std::printf("%llu\n", total);
  return 0;
}
