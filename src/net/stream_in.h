// Kx::streamIn: the byte-input interface of the networking library. A class
// that is both input and output derives from streamIn first, streamOut second.
#pragma once
#include <cstddef>

namespace Kx {

class streamIn {
 public:
  virtual ~streamIn() = default;

  // Reads until `length` bytes arrived or the stream ended; short only at
  // end of stream.
  virtual std::size_t read(void* buffer, std::size_t length) = 0;
  // read, throwing invalid_input when fewer than `length` bytes came.
  virtual std::size_t readExact(void* buffer, std::size_t length);
  // Discards up to `length` bytes through read; short only at end of stream.
  virtual std::size_t skip(std::size_t length);
  // skip, throwing invalid_input when fewer were skipped.
  virtual void skipExact(std::size_t length);
  // Waits for data, then one receive; 0 is end of stream. A stream that is
  // not usable may answer -1 with the socket error set.
  virtual std::ptrdiff_t readSome(void* buffer, std::size_t length) = 0;
  // One receive without waiting; 0 when nothing is there now.
  virtual std::ptrdiff_t receiveRaw(void* buffer, std::size_t length);
  // As skip, but through receiveRaw.
  virtual std::size_t skipRaw(std::size_t length);
  virtual void waitReadable() {}
  // Polls without waiting.
  virtual bool canRead() { return true; }
};

}  // namespace Kx
