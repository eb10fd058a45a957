#include "net/chunked_reader.h"

#include <algorithm>
#include <string>

#include "net/http_errors.h"
#include "net/http_head.h"

namespace Kx {

std::uint64_t parseChunkSize(std::string_view line) {
  if (line.empty()) throw invalid_input();
  std::uint64_t size = 0;
  for (const char c : line) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) throw invalid_input();
    if (size >> 60 != 0) throw overflow();
    size = size * 16 + static_cast<std::uint64_t>(digit);
  }
  return size;
}

std::size_t chunkedReader::read(byteSource& source, void* buffer, std::size_t length) {
  if (lastSeen_) return 0;
  if (left_ == 0) {
    std::string line;
    if (!first_) {
      // The CRLF that ends the previous chunk's data.
      if (!readHeadLine(source, line) || !line.empty()) throw httpInvalidReply();
    }
    if (!readHeadLine(source, line)) throw httpInvalidReply();
    first_ = false;
    left_ = parseChunkSize(line);
    if (left_ == 0) {
      if (!readHeadLine(source, line)) throw invalid_input();
      if (!line.empty()) throw httpInvalidReply();
      lastSeen_ = true;
      return 0;
    }
  }
  if (length == 0) return 0;
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(length, left_));
  const std::size_t got = source.readSome(buffer, wanted);
  if (got == 0) throw httpInvalidReply();
  if (got > wanted) throw bug_check();
  left_ -= got;
  return got;
}

}  // namespace Kx
