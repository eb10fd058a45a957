// The per-user decoder cache: one REG_SZ value per file extension (value
// name = the extension, dot included), data = the plug-in that decoded it.
// It lives in the "DecoderCache64" key below the settings key.
#pragma once
#include <string>

std::wstring decoder_cache_key_path();
// The cached plug-in path for an extension, or empty.
std::wstring read_decoder_cache(const std::wstring& extension);
bool write_decoder_cache(const std::wstring& extension, const std::wstring& plugin_path);
