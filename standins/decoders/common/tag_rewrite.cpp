#include "tag_rewrite.h"

#include <algorithm>

#include "decoder_plugin.h"
#include "library/safe_rewrite_file.h"
#include "library/xfile.h"

namespace {
// Copy buffer for the audio data.
constexpr std::uint64_t kCopyChunk = 1 << 20;
}  // namespace

bool rewrite_file(const std::wstring& path, const std::vector<RewritePiece>& pieces, DecoderPlugin& plugin) {
  XFile source(path);
  source.open(GENERIC_READ, OPEN_EXISTING, true);
  if (!source.is_open()) {
    plugin.message(L"Cannot open " + path);
    return false;
  }
  XSafeRewriteFile target;
  if (!target.begin(path)) {
    plugin.message(L"Cannot create a temporary file beside " + path);
    return false;
  }
  std::string buffer;
  for (const RewritePiece& piece : pieces) {
    if (!target.file.write(piece.bytes.data(), piece.bytes.size(), XFile::kAtCurrent)) {
      plugin.message(L"Cannot write the new version of " + path);
      return false;
    }
    if (piece.source_length == 0) continue;
    if (source.seek(static_cast<std::int64_t>(piece.source_offset), FILE_BEGIN) !=
        static_cast<std::int64_t>(piece.source_offset)) {
      plugin.message(L"Cannot read " + path);
      return false;
    }
    for (std::uint64_t left = piece.source_length; left != 0;) {
      const std::uint64_t n = std::min(left, kCopyChunk);
      buffer.resize(static_cast<std::size_t>(n));
      if (source.read(buffer.data(), n) != n) {
        plugin.message(L"Cannot read " + path);
        return false;
      }
      if (!target.file.write(buffer.data(), n, XFile::kAtCurrent)) {
        plugin.message(L"Cannot write the new version of " + path);
        return false;
      }
      left -= n;
    }
  }
  source.close();
  target.commit = true;
  if (!target.end()) {
    plugin.message(L"Cannot replace " + path);
    return false;
  }
  return true;
}
