// The nine exported entry points of a decoder plug-in. The instance handle
// is the DecoderPlugin object; no exception leaves the DLL.
#include <exception>

#include "decoder_plugin.h"

namespace {
DecoderPlugin* plugin_of(void* instance) { return static_cast<DecoderPlugin*>(instance); }

template <class F>
std::int32_t guarded(void* instance, F&& f) {
  if (instance == nullptr) return 0;
  try {
    return f(*plugin_of(instance));
  } catch (const std::exception&) {
    plugin_of(instance)->message(L"Out of memory or internal error");
    return 0;
  }
}
}  // namespace

extern "C" {

void* Create(const DecoderCreateBlock* block) {
  try {
    return make_decoder_plugin(block ? static_cast<HANDLE>(block->message_file) : nullptr);
  } catch (const std::exception&) {
    return nullptr;
  }
}

void Destroy(void* instance) { delete plugin_of(instance); }

std::int32_t Get(void* instance, const wchar_t* name, DecoderParamBlock* block) {
  if (name == nullptr || block == nullptr) return 0;
  return guarded(instance, [&](DecoderPlugin& p) { return p.get(name, *block); });
}

std::int32_t Set(void* instance, const wchar_t* name, DecoderParamBlock* block) {
  if (name == nullptr || block == nullptr) return 0;
  return guarded(instance, [&](DecoderPlugin& p) { return p.set(name, *block); });
}

std::int32_t Open(void* instance, DecoderOpenBlock* block) {
  if (block == nullptr) return 0;
  return guarded(instance, [&](DecoderPlugin& p) { return p.open(*block); });
}

std::int32_t Close(void* instance, void*) { return instance != nullptr ? 1 : 0; }

std::int32_t DecodeBlock(void* instance, DecoderDecodeBlock* block) {
  if (block == nullptr) return 0;
  return guarded(instance, [&](DecoderPlugin& p) { return p.decode(*block); });
}

// Seeking is not offered: the host never positions a stream.
std::int32_t SetPosition(void*, std::int64_t) { return 0; }

std::int32_t DeleteATag(void* instance, const wchar_t* path, const wchar_t* names) {
  return guarded(instance, [&](DecoderPlugin& p) { return p.delete_tags(path, names); });
}

}  // extern "C"
