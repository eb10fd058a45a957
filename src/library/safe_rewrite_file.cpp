#include "library/safe_rewrite_file.h"

#include <objbase.h>

#include "library/file_ops.h"

namespace {
constexpr int kNameAttempts = 100;
constexpr int kRenameAttempts = 10;
constexpr DWORD kRenameRetryMs = 50;
}  // namespace

std::wstring safe_rewrite_temp_name(const std::wstring& final_path, const unsigned char guid[16], int n) {
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring name = final_path + L".";
  for (int i = 0; i < 16; ++i) {
    name.push_back(kHex[guid[i] >> 4]);
    name.push_back(kHex[guid[i] & 15]);
  }
  if (n != 0) name += L"." + std::to_wstring(n);
  return name + L".rewrite.tmp";
}

bool XSafeRewriteFile::begin(const std::wstring& final_path) {
  end();
  final_path_ = final_path;
  commit = false;
  for (int n = 0; n < kNameAttempts; ++n) {
    GUID guid;
    if (FAILED(CoCreateGuid(&guid))) continue;
    file.path = safe_rewrite_temp_name(final_path, reinterpret_cast<const unsigned char*>(&guid), n);
    file.open(GENERIC_WRITE, CREATE_NEW, true);
    if (file.is_open()) return true;
  }
  file.path.clear();
  return false;
}

bool XSafeRewriteFile::end() {
  if (file.path.empty()) return false;
  file.close();
  const std::wstring temp = file.path;
  file.path.clear();
  if (commit) {
    commit = false;
    for (int attempt = 1; attempt <= kRenameAttempts; ++attempt) {
      if (move_file(temp, final_path_)) return true;
      if (attempt < kRenameAttempts) Sleep(kRenameRetryMs);
    }
  }
  delete_file(temp);
  return false;
}
