// The decoder plug-in interface: the nine entry points that every
// "decoder\*.dll" exports by name, and the blocks passed to them. The host
// (clSvDecoder) and our own plug-ins share this header, so both sides agree
// on every offset; the static_asserts pin the layouts.
//
// Entry points (the instance handle comes first, except for Create; int
// results are 32-bit, non-zero = success):
//   Create(create block)                    -> instance, null = failure
//   Destroy(instance)
//   Get(instance, name, parameter block)    -> int
//   Set(instance, name, parameter block)    -> int
//   Open(instance, open block)              -> int
//   Close(instance, 60-byte block)          -> int, after tags were read (mode 8)
//   DecodeBlock(instance, decode block)     -> int, 0 = decode error
//   SetPosition(instance, sample frame)     -> int, required but never called
//   DeleteATag(instance, path, name list)   -> int
//
// Calling order: select a plug-in and Create; Open with a path and a mode;
// DecodeBlock with a freshly zeroed block until end of stream (or Get/Set/
// DeleteATag for tags); Destroy.
//
// Names answered by Get and taken by Set in our plug-ins:
//   Get "Decodes", index i: the answer is the i-th extension the plug-in
//       decodes, dot included (".flac"); past the last one the result is 0
//       and the answer null. Needs no open file.
//   Get "Properties", after a successful Open (any mode): the data pointer
//       and data length describe an item block (library/item_list.h) of the
//       file's audio properties, valid until the next call on the instance:
//         "Sample Count"     sample frames (one sample per channel each) as
//                            the stream header announces them, decimal
//         "Channels"         decimal
//         "Sample Rate"      Hz, decimal
//         "Bits Per Sample"  decimal
//         "Audio Quality"    "Lossless" for our formats
//       The same channels, rate and bits are in the open block's format.
//   Set "IDTags": the parameter block carries the file path (text) and an
//       item block (data, data length). Each named tag is replaced by the
//       given value (a value holding CR is several values); tags not named
//       stay. The file is rewritten beside itself and renamed over the old
//       one, so an interrupted write leaves the old file; the audio data is
//       copied unchanged. Problems are written to the message file.
//
// Tags travel under the suite's names ("title", "artist", "album",
// "album artist", "track" as "n/total", "disc" as "n/total", "date",
// "genre", "comment", ...); each plug-in maps them to its format's own
// fields and back.
#pragma once
#include <cstddef>
#include <cstdint>

// Create block: three file handles. For decoding all are null. For tag
// reading and writing the first is a message file into which the plug-in
// writes UTF-16LE text lines; the other two are INVALID_HANDLE_VALUE.
struct DecoderCreateBlock {
  void* message_file;
  void* reserved_file1;
  void* reserved_file2;
};
static_assert(sizeof(DecoderCreateBlock) == 24);

// Parameter block of Get and Set, zero-filled before use.
struct DecoderParamBlock {
  std::int32_t index;         // input
  std::uint32_t data_length;  // bytes at `data`
  std::uint8_t zero1[16];
  const wchar_t* text;        // Get: the answer (output); Set: the file path
  std::uint8_t zero2[16];
  const void* data;           // Set: input; Get "Properties": output
};
static_assert(sizeof(DecoderParamBlock) == 56);
static_assert(offsetof(DecoderParamBlock, data_length) == 4);
static_assert(offsetof(DecoderParamBlock, text) == 24);
static_assert(offsetof(DecoderParamBlock, data) == 48);

// Open modes.
inline constexpr std::int32_t kOpenSampled = 1;  // beginning of a track or a sampled region
inline constexpr std::int32_t kOpenDecode = 5;   // full decode of a track
inline constexpr std::int32_t kOpenTags = 8;     // read the file's tags

// Open block, zero-filled before use. The format fields are laid out like the
// first 16 bytes of WAVEFORMATEX.
struct DecoderOpenBlock {
  const wchar_t* path;             // input
  std::int32_t mode;               // input
  std::uint16_t format_tag;        // output: 1 = integer PCM
  std::uint16_t channels;
  std::uint32_t sample_rate;
  std::uint32_t avg_bytes_per_sec;
  std::uint16_t block_align;
  std::uint16_t bits_per_sample;
  std::uint8_t unused1[52];
  const void* tags;                // mode 8: the file's tags as an item block
  std::uint32_t tags_length;
  std::uint8_t unused2[36];
};
static_assert(sizeof(DecoderOpenBlock) == 128);
static_assert(offsetof(DecoderOpenBlock, mode) == 8);
static_assert(offsetof(DecoderOpenBlock, format_tag) == 12);
static_assert(offsetof(DecoderOpenBlock, channels) == 14);
static_assert(offsetof(DecoderOpenBlock, sample_rate) == 16);
static_assert(offsetof(DecoderOpenBlock, avg_bytes_per_sec) == 20);
static_assert(offsetof(DecoderOpenBlock, block_align) == 24);
static_assert(offsetof(DecoderOpenBlock, bits_per_sample) == 26);
static_assert(offsetof(DecoderOpenBlock, tags) == 80);
static_assert(offsetof(DecoderOpenBlock, tags_length) == 88);

// Decode block, zero-filled before each call. 116 bytes: the pointer at
// offset 0 is followed by 4-byte fields only, so the block is packed to 4.
#pragma pack(push, 4)
struct DecoderDecodeBlock {
  const void* data;        // output, owned by the plug-in until its next call
  std::uint32_t length;    // bytes at `data`
  std::uint8_t unused1[76];
  std::int32_t end_of_stream;  // non-zero: no more data follows
  std::uint8_t unused2[24];
};
#pragma pack(pop)
static_assert(sizeof(DecoderDecodeBlock) == 116);
static_assert(offsetof(DecoderDecodeBlock, length) == 8);
static_assert(offsetof(DecoderDecodeBlock, end_of_stream) == 88);

// The zero-filled block handed to Close.
inline constexpr std::size_t kCloseBlockSize = 60;

// DeleteATag's name list: each name followed by a NUL, one more NUL at the
// end; an empty name is written as this text. A null list removes all tags.
inline constexpr wchar_t kEmptyTagName[] = L"[Empty]";

// The entry points, in the order the host resolves them.
using DecoderCreateFn = void* (*)(const DecoderCreateBlock*);
using DecoderDestroyFn = void (*)(void*);
using DecoderGetFn = std::int32_t (*)(void*, const wchar_t*, DecoderParamBlock*);
using DecoderSetFn = std::int32_t (*)(void*, const wchar_t*, DecoderParamBlock*);
using DecoderOpenFn = std::int32_t (*)(void*, DecoderOpenBlock*);
using DecoderCloseFn = std::int32_t (*)(void*, void*);
using DecoderDecodeBlockFn = std::int32_t (*)(void*, DecoderDecodeBlock*);
using DecoderSetPositionFn = std::int32_t (*)(void*, std::int64_t);
using DecoderDeleteATagFn = std::int32_t (*)(void*, const wchar_t*, const wchar_t*);

inline constexpr const char* kDecoderEntryNames[9] = {"Create", "Destroy",     "Get",         "Set",       "Open",
                                                      "Close",  "DecodeBlock", "SetPosition", "DeleteATag"};

// Names of Get and Set.
inline constexpr wchar_t kDecodesQuery[] = L"Decodes";
inline constexpr wchar_t kPropertiesQuery[] = L"Properties";
inline constexpr wchar_t kIDTagsSetting[] = L"IDTags";

// Property names answered through Get "Properties".
namespace decoder_property {
inline constexpr wchar_t kSampleCount[] = L"Sample Count";
inline constexpr wchar_t kChannels[] = L"Channels";
inline constexpr wchar_t kSampleRate[] = L"Sample Rate";
inline constexpr wchar_t kBitsPerSample[] = L"Bits Per Sample";
inline constexpr wchar_t kAudioQuality[] = L"Audio Quality";
}  // namespace decoder_property
