#include "riff_file.h"

#include <cstring>

namespace {
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The extensible format's sub-format GUID for PCM, after its first two bytes
// (the plain format code).
constexpr std::uint8_t kPcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint32_t kMinFmtSize = 16;
constexpr std::uint32_t kExtensibleFmtSize = 40;
// A format chunk larger than this is not a format chunk.
constexpr std::uint32_t kMaxFmtSize = 1024;
// Any sane WAVE file has far fewer chunks; a bound keeps a crafted file cheap.
constexpr std::size_t kMaxChunks = 100000;

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t u32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool read_at(XFile& file, std::uint64_t offset, void* out, std::uint64_t count) {
  return file.seek(static_cast<std::int64_t>(offset), FILE_BEGIN) == static_cast<std::int64_t>(offset) &&
         file.read(out, count) == count;
}

bool parse_format(const std::string& fmt, WavLayout& layout, std::wstring& reason) {
  if (fmt.size() < kMinFmtSize) {
    reason = L"The format chunk is too short";
    return false;
  }
  const auto* p = reinterpret_cast<const std::uint8_t*>(fmt.data());
  std::uint16_t code = u16(p);
  if (code == kFormatExtensible) {
    if (fmt.size() < kExtensibleFmtSize || std::memcmp(p + 26, kPcmGuidTail, sizeof kPcmGuidTail) != 0) {
      reason = L"Only integer PCM is supported";
      return false;
    }
    code = u16(p + 24);
  }
  if (code != kFormatPcm) {
    reason = L"Only integer PCM is supported";
    return false;
  }
  layout.channels = u16(p + 2);
  layout.sample_rate = u32(p + 4);
  layout.block_align = u16(p + 12);
  layout.bits_per_sample = u16(p + 14);
  const std::uint32_t bytes_per_sample = (layout.bits_per_sample + 7u) / 8u;
  if (layout.channels == 0 || layout.sample_rate == 0 || layout.bits_per_sample == 0 ||
      layout.bits_per_sample > 32 || layout.block_align != layout.channels * bytes_per_sample) {
    reason = L"The format chunk is inconsistent";
    return false;
  }
  return true;
}
}  // namespace

bool read_chunk_data(XFile& file, const RiffChunk& chunk, std::string& data) {
  data.resize(chunk.size);
  return read_at(file, chunk.offset + kChunkHeaderSize, data.data(), chunk.size);
}

bool is_info_list(XFile& file, const RiffChunk& chunk) {
  char type[4];
  return chunk.id == "LIST" && chunk.size >= 4 && read_at(file, chunk.offset + kChunkHeaderSize, type, 4) &&
         std::memcmp(type, "INFO", 4) == 0;
}

bool read_wav_layout(XFile& file, WavLayout& layout, std::wstring& reason) {
  layout = WavLayout();
  layout.file_size = file.size();
  std::uint8_t header[kRiffHeaderSize];
  if (!read_at(file, 0, header, kRiffHeaderSize) || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + 8, "WAVE", 4) != 0) {
    reason = L"Not a RIFF/WAVE file";
    return false;
  }
  std::uint64_t pos = kRiffHeaderSize;
  while (pos + kChunkHeaderSize <= layout.file_size && layout.chunks.size() < kMaxChunks) {
    std::uint8_t h[kChunkHeaderSize];
    if (!read_at(file, pos, h, kChunkHeaderSize)) break;
    RiffChunk chunk;
    chunk.id.assign(reinterpret_cast<const char*>(h), 4);
    chunk.offset = pos;
    chunk.size = u32(h + 4);
    const std::uint64_t end = pos + kChunkHeaderSize + chunk.size;
    chunk.complete = end <= layout.file_size;
    layout.chunks.push_back(chunk);
    if (!chunk.complete) break;
    pos = end + (chunk.size & 1u);
  }
  const RiffChunk* fmt = nullptr;
  for (const RiffChunk& c : layout.chunks) {
    if (c.id == "fmt " && fmt == nullptr) fmt = &c;
    if (c.id == "data" && layout.data.id.empty()) layout.data = c;
  }
  if (fmt == nullptr || !fmt->complete || fmt->size > kMaxFmtSize || layout.data.id.empty()) {
    reason = L"The format or data chunk is missing";
    return false;
  }
  std::string fmt_bytes;
  if (!read_chunk_data(file, *fmt, fmt_bytes)) {
    reason = L"Cannot read the format chunk";
    return false;
  }
  return parse_format(fmt_bytes, layout, reason);
}
