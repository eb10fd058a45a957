#include "net/stream_in.h"

#include <algorithm>

#include "net/net_errors.h"

namespace Kx {

namespace {
// Discarded bytes pass through a small stack buffer of this size.
constexpr std::size_t kSkipPiece = 256;

template <class ReadPiece>
std::size_t skipWith(std::size_t length, ReadPiece readPiece) {
  char piece[kSkipPiece];
  std::size_t skipped = 0;
  while (skipped < length) {
    const std::size_t want = std::min(kSkipPiece, length - skipped);
    const std::size_t got = readPiece(piece, want);
    skipped += got;
    if (got < want) break;
  }
  return skipped;
}
}  // namespace

std::size_t streamIn::readExact(void* buffer, std::size_t length) {
  const std::size_t got = read(buffer, length);
  if (got < length) throw invalid_input();
  return got;
}

std::size_t streamIn::skip(std::size_t length) {
  return skipWith(length, [this](char* p, std::size_t n) { return read(p, n); });
}

void streamIn::skipExact(std::size_t length) {
  if (skip(length) < length) throw invalid_input();
}

std::ptrdiff_t streamIn::receiveRaw(void* buffer, std::size_t length) {
  return static_cast<std::ptrdiff_t>(read(buffer, length));
}

std::size_t streamIn::skipRaw(std::size_t length) {
  return skipWith(length, [this](char* p, std::size_t n) {
    const std::ptrdiff_t got = receiveRaw(p, n);
    return got > 0 ? static_cast<std::size_t>(got) : std::size_t{0};
  });
}

}  // namespace Kx
