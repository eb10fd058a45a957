#include "flac_metadata.h"

#include <cstring>

namespace {
constexpr std::uint32_t kStreamInfoLength = 34;
constexpr std::uint32_t kId3HeaderSize = 10;
constexpr std::uint8_t kId3FooterFlag = 0x10;
// No valid file has more blocks than this; a bound keeps a crafted one cheap.
constexpr std::size_t kMaxBlocks = 10000;

bool read_at(XFile& file, std::uint64_t offset, void* out, std::uint64_t count) {
  return file.seek(static_cast<std::int64_t>(offset), FILE_BEGIN) == static_cast<std::int64_t>(offset) &&
         file.read(out, count) == count;
}

std::uint32_t le32(const std::string& s, std::size_t at) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(s.data() + at);
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void put_le32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

FlacStreamInfo parse_stream_info(const std::string& b) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(b.data());
  FlacStreamInfo info;
  info.sample_rate = (static_cast<std::uint32_t>(p[10]) << 12) | (static_cast<std::uint32_t>(p[11]) << 4) | (p[12] >> 4);
  info.channels = static_cast<std::uint16_t>(((p[12] >> 1) & 7) + 1);
  info.bits_per_sample = static_cast<std::uint16_t>((((p[12] & 1) << 4) | (p[13] >> 4)) + 1);
  info.total_samples = (static_cast<std::uint64_t>(p[13] & 15) << 32) | (static_cast<std::uint64_t>(p[14]) << 24) |
                       (static_cast<std::uint64_t>(p[15]) << 16) | (static_cast<std::uint64_t>(p[16]) << 8) | p[17];
  std::memcpy(info.md5.data(), p + 18, 16);
  return info;
}

// The length of an ID3v2 tag at the start of the file, 0 when there is none.
std::uint64_t id3_length(XFile& file) {
  std::uint8_t h[kId3HeaderSize];
  if (!read_at(file, 0, h, sizeof h) || std::memcmp(h, "ID3", 3) != 0) return 0;
  // Four 7-bit bytes ("sync-safe").
  const std::uint64_t size = (static_cast<std::uint64_t>(h[6] & 0x7F) << 21) | ((h[7] & 0x7F) << 14) |
                             ((h[8] & 0x7F) << 7) | (h[9] & 0x7F);
  return kId3HeaderSize + size + ((h[5] & kId3FooterFlag) ? kId3HeaderSize : 0);
}
}  // namespace

bool read_flac_header(XFile& file, FlacHeader& header, std::wstring& reason) {
  header = FlacHeader();
  const std::uint64_t file_size = file.size();
  header.marker_offset = id3_length(file);
  char marker[4];
  if (!read_at(file, header.marker_offset, marker, 4) || std::memcmp(marker, "fLaC", 4) != 0) {
    reason = L"Not a FLAC file";
    return false;
  }
  std::uint64_t pos = header.marker_offset + 4;
  for (bool last = false; !last;) {
    std::uint8_t h[kFlacBlockHeaderSize];
    if (header.blocks.size() >= kMaxBlocks || !read_at(file, pos, h, sizeof h)) {
      reason = L"The metadata is cut short";
      return false;
    }
    last = (h[0] & 0x80) != 0;
    FlacBlock block;
    block.type = h[0] & 0x7F;
    block.length = (static_cast<std::uint32_t>(h[1]) << 16) | (static_cast<std::uint32_t>(h[2]) << 8) | h[3];
    block.body_offset = pos + kFlacBlockHeaderSize;
    if (block.body_offset + block.length > file_size) {
      reason = L"The metadata is cut short";
      return false;
    }
    if (block.type == kFlacStreamInfo || block.type == kFlacVorbisComment) {
      block.body.resize(block.length);
      if (!read_at(file, block.body_offset, block.body.data(), block.length)) {
        reason = L"Cannot read the metadata";
        return false;
      }
    }
    pos = block.body_offset + block.length;
    header.blocks.push_back(std::move(block));
  }
  header.audio_offset = pos;
  const FlacBlock& first = header.blocks.front();
  if (first.type != kFlacStreamInfo || first.length < kStreamInfoLength) {
    reason = L"The stream information block is missing";
    return false;
  }
  header.info = parse_stream_info(first.body);
  return true;
}

std::string flac_block_header(bool last, std::uint8_t type, std::uint32_t length) {
  std::string h(kFlacBlockHeaderSize, '\0');
  h[0] = static_cast<char>((last ? 0x80 : 0) | (type & 0x7F));
  h[1] = static_cast<char>((length >> 16) & 0xFF);
  h[2] = static_cast<char>((length >> 8) & 0xFF);
  h[3] = static_cast<char>(length & 0xFF);
  return h;
}

bool parse_vorbis_comment(const std::string& body, VorbisComment& comment) {
  comment = VorbisComment();
  if (body.size() < 4) return false;
  const std::uint32_t vendor_length = le32(body, 0);
  if (vendor_length > body.size() - 4) return false;
  comment.vendor = body.substr(4, vendor_length);
  std::size_t pos = 4 + vendor_length;
  if (body.size() - pos < 4) return false;
  const std::uint32_t count = le32(body, pos);
  pos += 4;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (body.size() - pos < 4) return false;
    const std::uint32_t length = le32(body, pos);
    pos += 4;
    if (length > body.size() - pos) return false;
    comment.fields.push_back(body.substr(pos, length));
    pos += length;
  }
  return true;
}

std::string build_vorbis_comment(const VorbisComment& comment) {
  std::string out;
  put_le32(out, static_cast<std::uint32_t>(comment.vendor.size()));
  out += comment.vendor;
  put_le32(out, static_cast<std::uint32_t>(comment.fields.size()));
  for (const std::string& f : comment.fields) {
    put_le32(out, static_cast<std::uint32_t>(f.size()));
    out += f;
  }
  return out;
}
