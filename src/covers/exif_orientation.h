// The orientation tag of a JPEG picture's EXIF data, read by our own parser:
// the platform's JPEG metadata reader is not relied on.
#pragma once
#include <cstdint>
#include <span>

// Tag 274 of the first image file directory of the APP1 "Exif" segment.
// 1 when the picture has none, the value is not one 16-bit unsigned
// number, or the bytes are no JPEG.
int exif_orientation(std::span<const std::uint8_t> picture);

// Codes 5 to 8 store the picture turned by a quarter: width and height
// change places when it is shown upright.
inline bool orientation_swaps_sides(int code) { return code >= 5 && code <= 8; }
