#include "covers/exif_orientation.h"

#include <cstring>

namespace {
// JPEG layout: FF D8, then segments FF <marker> <uint16 BE length incl.
// itself> <data>, until start of scan (FF DA) or end of image (FF D9).
// APP1 (FF E1) holding "Exif\0\0" then a TIFF header: "II" (little-endian)
// or "MM" (big-endian), 42, uint32 offset of IFD0 (from the TIFF header);
// IFD0: uint16 entry count, 12-byte entries {tag, type, count, value}.
constexpr std::uint8_t kMarkerStart = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint16_t kOrientationTag = 274;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kIfdEntrySize = 12;
constexpr int kNoOrientation = 1;

struct Reader {
  std::span<const std::uint8_t> bytes;
  bool little_endian;
  bool has(std::size_t at, std::size_t n) const { return at <= bytes.size() && n <= bytes.size() - at; }
  std::uint16_t u16(std::size_t at) const {
    return little_endian ? static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8))
                         : static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
  }
  std::uint32_t u32(std::size_t at) const {
    return little_endian ? static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16)
                         : (static_cast<std::uint32_t>(u16(at)) << 16) | u16(at + 2);
  }
};

int orientation_in_tiff(std::span<const std::uint8_t> tiff) {
  if (tiff.size() < 8) return kNoOrientation;
  Reader r{tiff, false};
  if (tiff[0] == 'I' && tiff[1] == 'I') r.little_endian = true;
  else if (!(tiff[0] == 'M' && tiff[1] == 'M')) return kNoOrientation;
  if (r.u16(2) != 42) return kNoOrientation;
  const std::size_t ifd = r.u32(4);
  if (!r.has(ifd, 2)) return kNoOrientation;
  const std::size_t entries = r.u16(ifd);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t at = ifd + 2 + i * kIfdEntrySize;
    if (!r.has(at, kIfdEntrySize)) return kNoOrientation;
    if (r.u16(at) != kOrientationTag) continue;
    if (r.u16(at + 2) != kTypeShort || r.u32(at + 4) != 1) return kNoOrientation;
    return r.u16(at + 8);
  }
  return kNoOrientation;
}
}  // namespace

int exif_orientation(std::span<const std::uint8_t> picture) {
  if (picture.size() < 4 || picture[0] != kMarkerStart || picture[1] != kStartOfImage) return kNoOrientation;
  std::size_t at = 2;
  while (at + 4 <= picture.size()) {
    if (picture[at] != kMarkerStart) return kNoOrientation;
    const std::uint8_t marker = picture[at + 1];
    if (marker == kMarkerStart) {  // fill byte
      ++at;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) return kNoOrientation;
    const std::size_t length = static_cast<std::size_t>((picture[at + 2] << 8) | picture[at + 3]);
    if (length < 2 || length > picture.size() - at - 2) return kNoOrientation;
    const auto data = picture.subspan(at + 4, length - 2);
    if (marker == kApp1 && data.size() >= 6 && std::memcmp(data.data(), "Exif\0\0", 6) == 0)
      return orientation_in_tiff(data.subspan(6));
    at += 2 + length;
  }
  return kNoOrientation;
}
