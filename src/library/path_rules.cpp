#include "library/path_rules.h"

std::wstring make_long_path(const std::wstring& path, std::size_t limit) {
  if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') return path;
  if (path.size() < limit) return path;
  return L"\\\\?\\" + path;
}

std::wstring add_trailing_backslash(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') return path;
  return path + L'\\';
}

std::wstring file_part(const std::wstring& path) {
  const auto slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring directory_part(const std::wstring& path) {
  const auto slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring extension(const std::wstring& path) {
  const auto slash = path.rfind(L'\\');
  const auto dot = path.rfind(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return L".";
  return path.substr(dot);
}
