// Finding the plug-in for a file: the slot's loaded plug-in when the
// extension is the same, else the cached plug-in, else a scan of
// "decoder\*.dll" in the program folder.
#pragma once
#include <string>

#include "audio/sv_decoder.h"

inline constexpr wchar_t kDecoderFolder[] = L"decoder\\";

// Loads `dll_path` into the slot and keeps it, with a live instance, when
// the plug-in answers `extension` to "Decodes"; otherwise the slot ends empty.
bool try_plugin(const std::wstring& dll_path, const std::wstring& extension, clSvDecoder& slot,
                const DecoderCreateBlock* create_block);

// True when the slot holds a live instance for the file's format.
bool select_decoder(const std::wstring& path, clSvDecoder& slot, const DecoderCreateBlock* create_block);
