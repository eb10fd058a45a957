// Kx::streamOut: the byte-output interface of the networking library.
#pragma once
#include <cstddef>

namespace Kx {

class streamOut {
 public:
  virtual ~streamOut() = default;

  // Writes every byte.
  virtual void write(const void* data, std::size_t length) = 0;
  // Writes what can be written now; returns the count.
  virtual std::size_t writeSome(const void* data, std::size_t length) {
    write(data, length);
    return length;
  }
  virtual void waitWritable() {}
  virtual bool canWrite() { return true; }
};

}  // namespace Kx
