// Fuzz target of the reply parsers: a reply head (status line and headers),
// the lookups the engine makes on it, then a chunked body. The first byte
// chooses how many bytes the source hands out per call.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "net/chunked_reader.h"
#include "net/http_head.h"
#include "net/memory_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 16;
  memorySource source(std::string(reinterpret_cast<const char*>(data + 1), size - 1), piece);
  try {
    const Kx::replyHead head = Kx::readReplyHead(source);
    Kx::parseStatusLine(head.statusLine);
    Kx::headerValues(head.headers, "Set-Cookie");
    Kx::firstToken(Kx::headerValue(head.headers, "Transfer-Encoding"));
    try {
      Kx::parseContentLength(Kx::headerValue(head.headers, "Content-Length"));
    } catch (const std::runtime_error&) {
    }
    Kx::chunkedReader reader;
    char buffer[37];
    while (reader.read(source, buffer, sizeof buffer) != 0) {
    }
  } catch (const std::exception&) {
    // Every malformed reply ends in one of the engine's errors.
  }
  return 0;
}
