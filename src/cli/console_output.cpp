#include "cli/console_output.h"

#include <windows.h>

#include "library/text_convert.h"

namespace {
void write_to(DWORD which, const std::wstring& text) {
  HANDLE h = GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (GetConsoleMode(h, &mode)) {
    DWORD written = 0;
    WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const std::string bytes = wide_to_utf8(text);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
}  // namespace

void out_text(const std::wstring& text) { write_to(STD_OUTPUT_HANDLE, text); }
void out_line(const std::wstring& line) { write_to(STD_OUTPUT_HANDLE, line + L"\n"); }
void err_line(const std::wstring& line) { write_to(STD_ERROR_HANDLE, line + L"\n"); }
void err_text(const std::wstring& text) { write_to(STD_ERROR_HANDLE, text); }

void out_bytes(const std::string& bytes) {
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (h && h != INVALID_HANDLE_VALUE) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool stderr_is_console() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
