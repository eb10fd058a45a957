// Where the reply parsers take their bytes from: the connection in the
// engine, a memory buffer in tests and the fuzz target.
#pragma once
#include <cstddef>

namespace Kx {

class byteSource {
 public:
  virtual ~byteSource() = default;
  // Waits for data, then delivers at most `length` bytes; 0 is end of stream.
  virtual std::size_t readSome(void* buffer, std::size_t length) = 0;
};

}  // namespace Kx
