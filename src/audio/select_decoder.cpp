#include "audio/select_decoder.h"

#include "audio/decoder_cache.h"
#include "audio/program_folder.h"
#include "library/directory_iterator.h"
#include "library/path_rules.h"
#include "library/text_convert.h"

namespace {
bool declares_extension(clSvDecoder& slot, const std::wstring& extension) {
  for (std::int32_t index = 0;; ++index) {
    DecoderParamBlock block{};
    block.index = index;
    if (slot.Get(slot.instance, kDecodesQuery, &block) == 0 || block.text == nullptr) return false;
    if (equals_ascii_nocase(block.text, extension)) return true;
  }
}
}  // namespace

bool try_plugin(const std::wstring& dll_path, const std::wstring& extension, clSvDecoder& slot,
                const DecoderCreateBlock* create_block) {
  slot.unload();
  if (!slot.load(dll_path.c_str())) {
    slot.unload();
    return false;
  }
  slot.extension = extension;
  slot.plugin_path = dll_path;
  slot.instance = slot.Create(create_block);
  if (slot.instance == nullptr) {
    slot.unload();
    return false;
  }
  if (declares_extension(slot, extension)) return true;
  slot.unload();
  return false;
}

bool select_decoder(const std::wstring& path, clSvDecoder& slot, const DecoderCreateBlock* create_block) {
  slot.destroy_instance();
  const std::wstring ext = extension(path);

  // Fast path: the loaded plug-in already decodes this extension.
  if (slot.is_loaded() && slot.ok && equals_ascii_nocase(slot.extension, ext)) {
    slot.instance = slot.Create(create_block);
    return slot.instance != nullptr;
  }

  const std::wstring decoder_folder = program_folder() + kDecoderFolder;
  bool found = false;
  // The cached directory is ignored: plug-ins are always taken from our own
  // folder, so a stale or foreign cache entry cannot load another copy.
  const std::wstring cached = read_decoder_cache(ext);
  if (!cached.empty()) found = try_plugin(decoder_folder + file_part(cached), ext, slot, create_block);

  if (!found) {
    XDirectoryIterator it(decoder_folder + L"*.dll", false);
    while (!found && it.next()) {
      if (it.is_directory()) continue;
      found = try_plugin(it.full_path(), ext, slot, create_block);
    }
  }
  if (!found) return false;
  write_decoder_cache(ext, slot.plugin_path);
  return true;
}
