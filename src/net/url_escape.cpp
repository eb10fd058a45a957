#include "net/url_escape.h"

#include "net/net_errors.h"

namespace Kx {
namespace {
bool isAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendEscaped(std::string& out, unsigned char c, const char* digits) {
  out += '%';
  out += digits[c >> 4];
  out += digits[c & 0x0F];
}

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

// The byte of "%XX" at `i`, or -1 when `text` has no two hex digits there.
int escapedByteAt(std::string_view text, std::size_t i) {
  if (text.size() < 3 || i > text.size() - 3) return -1;
  const int high = hexValue(text[i + 1]);
  const int low = hexValue(text[i + 2]);
  if (high < 0 || low < 0) return -1;
  return high * 16 + low;
}
}  // namespace

std::string escapeRequestUrl(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  for (const char ch : url) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ' || c >= 0x80) appendEscaped(out, c, kLowerHex);
    else out += ch;
  }
  return out;
}

std::string escapeComponent(std::string_view text, std::string_view safe) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (isAlnum(c) || safe.find(ch) != std::string_view::npos) out += ch;
    else appendEscaped(out, c, kUpperHex);
  }
  return out;
}

std::string escapeFormValue(std::string_view text) {
  static constexpr std::string_view kFormSafe = "-._~";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ') out += '+';
    else if (isAlnum(c) || kFormSafe.find(ch) != std::string_view::npos) out += ch;
    else appendEscaped(out, c, kUpperHex);
  }
  return out;
}

std::string unescapeComponent(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int byte = text[i] == '%' ? escapedByteAt(text, i) : -1;
    if (byte > 0) {
      out += static_cast<char>(byte);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string formUnescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%') {
      const int byte = escapedByteAt(text, i);
      if (byte < 0) throw invalid_input();
      out += static_cast<char>(byte);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace Kx
