// Writing a file's new version safely: the new bytes go to a temporary file
// beside it, which replaces the file only when everything was written. The
// audio data is copied byte for byte from the old file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class DecoderPlugin;

// A piece of the new file: literal bytes, or a range of the old file.
struct RewritePiece {
  std::string bytes;
  std::uint64_t source_offset = 0;
  std::uint64_t source_length = 0;
};

inline RewritePiece literal_piece(std::string bytes) { return {std::move(bytes), 0, 0}; }
inline RewritePiece source_piece(std::uint64_t offset, std::uint64_t length) { return {{}, offset, length}; }

// Writes the pieces in order; on failure the old file stays untouched and a
// message says why.
bool rewrite_file(const std::wstring& path, const std::vector<RewritePiece>& pieces, DecoderPlugin& plugin);
