#include "support/paths.h"

#include "library/text_convert.h"

std::wstring host_to_windows_path(const std::string& host_path) {
  std::wstring out = L"Z:" + utf8_to_wide(host_path);
  for (auto& c : out)
    if (c == L'/') c = L'\\';
  return out;
}

std::wstring dist_folder() { return host_to_windows_path(TD_DIST_DIR) + L"\\"; }
std::wstring source_folder() { return host_to_windows_path(TD_SOURCE_DIR) + L"\\"; }
