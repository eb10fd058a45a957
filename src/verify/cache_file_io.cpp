#include "verify/cache_file_io.h"

#include "library/file_view.h"
#include "library/safe_rewrite_file.h"

void for_each_utf16_line(const std::wstring& path, const std::function<void(std::wstring_view)>& take) {
  XFileView view(path);
  if (!view.map()) return;
  std::wstring line;
  while (read_line_utf16(view, line)) take(line);
}

bool rewrite_whole_file(const std::wstring& path, const std::string& bytes) {
  XSafeRewriteFile writer;
  if (!writer.begin(path)) return false;
  writer.commit = writer.file.write(bytes.data(), bytes.size(), XFile::kAtCurrent);
  return writer.end();
}
