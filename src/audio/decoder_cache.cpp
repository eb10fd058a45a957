#include "audio/decoder_cache.h"

#include "shell/settings_store.h"

namespace {
// The cache of 64-bit plug-ins is kept apart from that of 32-bit builds.
constexpr wchar_t kCacheKeyName[] = L"\\DecoderCache64";
}  // namespace

std::wstring decoder_cache_key_path() { return settings_key_path() + kCacheKeyName; }

std::wstring read_decoder_cache(const std::wstring& extension) {
  const std::wstring key = decoder_cache_key_path();
  return read_setting_string(extension.c_str(), settings_root(), key.c_str());
}

bool write_decoder_cache(const std::wstring& extension, const std::wstring& plugin_path) {
  const std::wstring key = decoder_cache_key_path();
  const auto size = static_cast<DWORD>((plugin_path.size() + 1) * sizeof(wchar_t));
  return write_setting(plugin_path.c_str(), size, REG_SZ, extension.c_str(), settings_root(), key.c_str());
}
