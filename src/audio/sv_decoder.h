// clSvDecoder: one decoder slot, a loaded plug-in and at most one live
// instance of it. A slot belongs to one thread at a time.
#pragma once
#include <string>

#include "audio/decoder_blocks.h"
#include "audio/xdll.h"

class clSvDecoder : public XDLL {
 public:
  clSvDecoder() = default;
  ~clSvDecoder() override { unload(); }

  // Only acts on an unloaded slot: loads the library and resolves the nine
  // entry points; any missing one clears `ok` (the other lookups still run).
  // load(nullptr) clears every address and `ok`. Returns `ok`.
  bool load(const wchar_t* path) override;
  // Destroys the instance if any, frees the library, clears the entry
  // points, the extension and the path.
  void unload();
  // Destroys the live instance, if any, and forgets it; the library stays.
  void destroy_instance();

  bool ok = false;
  std::wstring extension;    // the extension the slot was last bound to
  std::wstring plugin_path;  // full path of the loaded plug-in
  void* instance = nullptr;

  DecoderCreateFn Create = nullptr;
  DecoderDestroyFn Destroy = nullptr;
  DecoderGetFn Get = nullptr;
  DecoderSetFn Set = nullptr;
  DecoderOpenFn Open = nullptr;
  DecoderCloseFn Close = nullptr;
  DecoderDecodeBlockFn DecodeBlock = nullptr;
  DecoderSetPositionFn SetPosition = nullptr;
  DecoderDeleteATagFn DeleteATag = nullptr;

 private:
  void clear_entry_points();
};
