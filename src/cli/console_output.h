// Text output of the console front end: UTF-8 to pipes and files, wide text
// to a real console.
#pragma once
#include <string>

void out_text(const std::wstring& text);
void out_line(const std::wstring& line);
void err_line(const std::wstring& line);
void err_text(const std::wstring& text);
// Raw bytes to standard output (bodies, JSON already in UTF-8).
void out_bytes(const std::string& bytes);
// Whether standard error is a console (progress bars are drawn only there).
bool stderr_is_console();
