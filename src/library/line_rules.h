// The line rules of the system's text files, for any source of code units:
// CR ends a line and swallows a directly following LF; LF alone ends a line.
// UTF-16 lines drop U+FEFF as their first unit. Byte lines drop NULs and,
// for UTF-8, the sequence EF BB BF at their start.
//
// A Source offers `bool next(unit&)` and `void unread()` (give back the unit
// just read, used after a CR that is not followed by LF).
#pragma once
#include <cstdint>
#include <string>

template <class Source>
bool read_utf16_units_line(Source& source, std::u16string& line) {
  line.clear();
  std::uint16_t unit = 0;
  bool any = false;
  while (source.next(unit)) {
    any = true;
    if (unit == 0x0D) {
      std::uint16_t after = 0;
      if (source.next(after) && after != 0x0A) source.unread();
      return true;
    }
    if (unit == 0x0A) return true;
    if (unit == 0xFEFF && line.empty()) continue;
    line.push_back(static_cast<char16_t>(unit));
  }
  return any;
}

template <class Source>
bool read_byte_units_line(Source& source, std::string& line, bool utf8) {
  line.clear();
  std::uint8_t byte = 0;
  bool any = false;
  while (source.next(byte)) {
    any = true;
    if (byte == 0x0D) {
      std::uint8_t after = 0;
      if (source.next(after) && after != 0x0A) source.unread();
      break;
    }
    if (byte == 0x0A) break;
    if (byte == 0) continue;
    line.push_back(static_cast<char>(byte));
  }
  if (utf8 && line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
  return any;
}

// A source over bytes in memory holding little-endian UTF-16 units; a last
// odd byte is not a unit.
struct MemoryUtf16Source {
  const std::uint8_t* data;
  std::uint64_t length;
  std::uint64_t& position;
  bool next(std::uint16_t& unit) {
    if (position + 2 > length) return false;
    unit = static_cast<std::uint16_t>(data[position] | (data[position + 1] << 8));
    position += 2;
    return true;
  }
  void unread() { position -= 2; }
};

struct MemoryByteSource {
  const std::uint8_t* data;
  std::uint64_t length;
  std::uint64_t& position;
  bool next(std::uint8_t& byte) {
    if (position >= length) return false;
    byte = data[position++];
    return true;
  }
  void unread() { --position; }
};

// Wide text from UTF-16 code units (wide text holds UTF-16 units everywhere).
inline std::wstring units_to_wide(const std::u16string& units) {
  return std::wstring(units.begin(), units.end());
}
