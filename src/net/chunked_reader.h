// Reading a chunked reply body. Layout:
//   chunk      = size-line CRLF data CRLF      size-line: hexadecimal digits only
//   last-chunk = "0" CRLF CRLF                 (no extensions, no trailers)
// The reader delivers data from one chunk per call and keeps its place
// between calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/byte_source.h"

namespace Kx {

// A chunk size line: hexadecimal digits only (anything else, an empty line
// included, throws invalid_input); a size beyond 64 bits throws overflow.
std::uint64_t parseChunkSize(std::string_view line);

class chunkedReader {
 public:
  // Delivers up to `length` bytes of the current chunk, reading the next
  // size line when the current chunk is used up; 0 once the last chunk was
  // seen. Malformed framing throws invalid_input or httpInvalidReply, a
  // stream that ends inside a chunk httpInvalidReply.
  std::size_t read(byteSource& source, void* buffer, std::size_t length);
  bool lastChunkSeen() const { return lastSeen_; }

 private:
  std::uint64_t left_ = 0;
  bool lastSeen_ = false;
  bool first_ = true;
};

}  // namespace Kx
