#include "audio/sv_decoder.h"

namespace {
template <class Fn>
bool resolve(HMODULE module, const char* name, Fn& entry) {
  entry = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
  return entry != nullptr;
}
}  // namespace

void clSvDecoder::clear_entry_points() {
  Create = nullptr;
  Destroy = nullptr;
  Get = nullptr;
  Set = nullptr;
  Open = nullptr;
  Close = nullptr;
  DecodeBlock = nullptr;
  SetPosition = nullptr;
  DeleteATag = nullptr;
}

bool clSvDecoder::load(const wchar_t* path) {
  if (is_loaded()) return ok;
  if (path == nullptr) {
    clear_entry_points();
    ok = false;
    return false;
  }
  module_.reset(LoadLibraryW(path));
  if (!module_) {
    clear_entry_points();
    ok = false;
    return false;
  }
  const HMODULE m = module_.get();
  // Every lookup runs, so a slot never keeps an address from an earlier plug-in.
  ok = true;
  ok &= resolve(m, kDecoderEntryNames[0], Create);
  ok &= resolve(m, kDecoderEntryNames[1], Destroy);
  ok &= resolve(m, kDecoderEntryNames[2], Get);
  ok &= resolve(m, kDecoderEntryNames[3], Set);
  ok &= resolve(m, kDecoderEntryNames[4], Open);
  ok &= resolve(m, kDecoderEntryNames[5], Close);
  ok &= resolve(m, kDecoderEntryNames[6], DecodeBlock);
  ok &= resolve(m, kDecoderEntryNames[7], SetPosition);
  ok &= resolve(m, kDecoderEntryNames[8], DeleteATag);
  return ok;
}

void clSvDecoder::destroy_instance() {
  if (instance != nullptr && Destroy != nullptr) Destroy(instance);
  instance = nullptr;
}

void clSvDecoder::unload() {
  destroy_instance();
  module_.reset();
  clear_entry_points();
  ok = false;
  extension.clear();
  plugin_path.clear();
}
