// The metadata of a FLAC file: an optional ID3v2 tag, "fLaC", then blocks of
// { 1 bit last-block flag, 7 bits type, 24-bit big-endian length, body }.
// Block 0 is STREAMINFO (34 bytes: block and frame sizes, then 20 bits of
// sample rate, 3 bits channels - 1, 5 bits bits per sample - 1, 36 bits of
// total samples, 16 bytes MD5 of the decoded samples). The audio frames
// follow the last block.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "library/xfile.h"

enum FlacBlockType : std::uint8_t {
  kFlacStreamInfo = 0,
  kFlacPadding = 1,
  kFlacVorbisComment = 4,
  kFlacPicture = 6,
};

struct FlacBlock {
  std::uint8_t type = 0;
  std::uint64_t body_offset = 0;
  std::uint32_t length = 0;
  std::string body;  // read for STREAMINFO and VORBIS_COMMENT only
};

struct FlacStreamInfo {
  std::uint32_t sample_rate = 0;
  std::uint16_t channels = 0;
  std::uint16_t bits_per_sample = 0;
  std::uint64_t total_samples = 0;  // 0 = unknown
  std::array<std::uint8_t, 16> md5{};
};

struct FlacHeader {
  std::uint64_t marker_offset = 0;  // of "fLaC"
  std::vector<FlacBlock> blocks;
  std::uint64_t audio_offset = 0;
  FlacStreamInfo info;
};

inline constexpr std::uint32_t kFlacMaxBlockLength = 0xFFFFFF;
inline constexpr std::uint32_t kFlacBlockHeaderSize = 4;

bool read_flac_header(XFile& file, FlacHeader& header, std::wstring& reason);

// A block header: last flag, type, length.
std::string flac_block_header(bool last, std::uint8_t type, std::uint32_t length);

// VORBIS_COMMENT body: little-endian lengths, unlike the rest of FLAC:
// vendor length, vendor, count, then count x { length, "NAME=value" UTF-8 }.
struct VorbisComment {
  std::string vendor;
  std::vector<std::string> fields;
};
// False when the body is malformed; the fields read so far are kept.
bool parse_vorbis_comment(const std::string& body, VorbisComment& comment);
std::string build_vorbis_comment(const VorbisComment& comment);
