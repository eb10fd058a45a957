// A minimal decoder plug-in for the host's tests: it declares the
// extensions it was built with and counts the "Decodes" queries it answered,
// which Get("Probe Queries") returns as its data length.
#include <cstring>
#include <cwchar>

#include "audio/decoder_blocks.h"

namespace {
const wchar_t* const kExtensions[] = {PROBE_EXTENSIONS};
int g_queries = 0;
int g_instance_tag = 0;
}  // namespace

extern "C" {
void* Create(const DecoderCreateBlock*) { return &g_instance_tag; }
void Destroy(void*) {}

std::int32_t Get(void*, const wchar_t* name, DecoderParamBlock* block) {
  if (std::wcscmp(name, kDecodesQuery) == 0) {
    ++g_queries;
    const auto count = static_cast<std::int32_t>(sizeof kExtensions / sizeof kExtensions[0]);
    block->text = block->index >= 0 && block->index < count ? kExtensions[block->index] : nullptr;
    return block->text != nullptr;
  }
  if (std::wcscmp(name, L"Probe Queries") == 0) {
    block->data_length = static_cast<std::uint32_t>(g_queries);
    return 1;
  }
  return 0;
}

std::int32_t Set(void*, const wchar_t*, DecoderParamBlock*) { return 0; }
std::int32_t Open(void*, DecoderOpenBlock*) { return 0; }
std::int32_t Close(void*, void*) { return 1; }
std::int32_t DecodeBlock(void*, DecoderDecodeBlock*) { return 0; }
std::int32_t SetPosition(void*, std::int64_t) { return 0; }
std::int32_t DeleteATag(void*, const wchar_t*, const wchar_t*) { return 0; }
}
