// The scanner's walk over the watch folders: every file below them whose
// extension one of the decoder plug-ins reads, each once, in a stable order
// (folders in list order, names sorted inside each folder).
#pragma once
#include <functional>
#include <string>
#include <vector>

std::vector<std::wstring> find_audio_files(const std::vector<std::wstring>& watch_folders,
                                           const std::function<bool(const std::wstring& extension)>& is_audio);
