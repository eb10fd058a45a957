// Kx::hasherMD5: the MD5 message digest (RFC 1321) as an output stream, so
// that whatever writes into a stream can be hashed on the way.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/stream_out.h"

namespace Kx {

class hasherMD5 : public streamOut {
 public:
  using digest = std::array<std::uint8_t, 16>;

  hasherMD5() { reset(); }

  void write(const void* data, std::size_t length) override;
  // Returns the digest of everything written since the last finish and
  // starts over with an empty state.
  digest finish();
  // finish() as 32 lower-case hexadecimal digits.
  std::string finishHex();

  static std::string toHex(const digest& d);

 private:
  void reset();
  void transform(const std::uint8_t* block);

  std::uint32_t state_[4];
  std::uint64_t length_ = 0;  // bytes written
  std::uint8_t buffer_[64];
};

}  // namespace Kx
