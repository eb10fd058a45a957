// CRC-32 of IEEE 802.3 (polynomial 0x04C11DB7 reflected, initial value and
// final XOR 0xFFFFFFFF), as the lookup service checks its bodies with.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

std::uint32_t crc32(std::string_view bytes);
// Exactly 8 upper-case hexadecimal digits.
std::string crc32Hex(std::uint32_t crc);
