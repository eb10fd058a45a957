// XSafeRewriteFile: writes a new version of a file beside it and renames it
// over the old one only when every byte was written, so a crash or a failed
// write never leaves a half-written file in place.
#pragma once
#include <string>

#include "library/xfile.h"

class XSafeRewriteFile {
 public:
  XSafeRewriteFile() = default;
  ~XSafeRewriteFile() { end(); }
  XSafeRewriteFile(const XSafeRewriteFile&) = delete;
  XSafeRewriteFile& operator=(const XSafeRewriteFile&) = delete;

  // Opens a fresh temporary file "<final>.<GUID>[.n].rewrite.tmp".
  bool begin(const std::wstring& final_path);
  // With `commit` set: renames the temporary file over the final path
  // (10 attempts, 50 ms apart); otherwise, or when renaming keeps failing,
  // deletes the temporary file. True only when the new file is in place.
  bool end();

  XFile file;
  bool commit = false;

 private:
  std::wstring final_path_;
};

// The temporary name for attempt `n` (0 to 99) and a GUID's 16 bytes.
std::wstring safe_rewrite_temp_name(const std::wstring& final_path, const unsigned char guid[16], int n);
