// Little-endian integers in byte buffers, the byte order of every index file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

template <class T>
T read_le(const std::uint8_t* p) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
  return static_cast<T>(v);
}

template <class T>
void write_le(std::uint8_t* p, T value) {
  const auto v = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <class T>
void append_le(std::string& out, T value) {
  const auto v = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
