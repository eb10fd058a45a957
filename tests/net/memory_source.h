// A byte source over a buffer that delivers at most `piece` bytes per call,
// so that parsers meet every split of their input.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "net/byte_source.h"

class memorySource : public Kx::byteSource {
 public:
  explicit memorySource(std::string_view bytes, std::size_t piece = 4096) : bytes_(bytes), piece_(piece) {}
  std::size_t readSome(void* buffer, std::size_t length) override {
    const std::size_t n = std::min({length, piece_, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }
  std::size_t consumed() const { return at_; }

 private:
  std::string bytes_;
  std::size_t piece_;
  std::size_t at_ = 0;
};
