// Base behaviours of the input interface and the texts of the error family.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "net/net_errors.h"
#include "net/stream_in.h"

namespace {

// An input stream over a fixed byte string that records the size of each read.
class bytesIn : public Kx::streamIn {
 public:
  explicit bytesIn(std::string data) : data_(std::move(data)) {}
  std::size_t read(void* buffer, std::size_t length) override {
    reads.push_back(length);
    const std::size_t n = std::min(length, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  std::ptrdiff_t readSome(void* buffer, std::size_t length) override {
    return static_cast<std::ptrdiff_t>(read(buffer, std::min<std::size_t>(length, 3)));
  }
  std::size_t position() const { return pos_; }
  std::vector<std::size_t> reads;

 private:
  std::string data_;
  std::size_t pos_ = 0;
};

TEST(StreamIn, SkipGoesInPiecesOf256AndStopsAtAShortPiece) {
  bytesIn in(std::string(600, 'x'));
  EXPECT_EQ(in.skip(1000), 600u);
  EXPECT_EQ(in.reads, (std::vector<std::size_t>{256, 256, 256}));
}

TEST(StreamIn, ExactFormsThrowInvalidInputWhenShort) {
  bytesIn in("abcdef");
  char buffer[8];
  EXPECT_EQ(in.readExact(buffer, 4), 4u);
  EXPECT_THROW(in.readExact(buffer, 4), Kx::invalid_input);
  bytesIn other("abc");
  EXPECT_NO_THROW(other.skipExact(3));
  EXPECT_THROW(other.skipExact(1), Kx::invalid_input);
}

TEST(StreamIn, ReceiveRawDefaultsToReadAndSkipRawUsesIt) {
  bytesIn in(std::string(300, 'y'));
  EXPECT_EQ(in.skipRaw(290), 290u);
  EXPECT_EQ(in.position(), 290u);
  char buffer[20];
  EXPECT_EQ(in.receiveRaw(buffer, sizeof buffer), 10);
  EXPECT_TRUE(in.canRead());
}

TEST(NetErrors, TextsAndCodes) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Kx::network_error refused = Kx::network_error::fromSocketError(10061);
  const Case cases[] = {
      {Kx::network_error().what(), "network error"},
      {refused.what(), "network error (10061)"},
      {Kx::network_error::fromSocketError(-5).what(), "network error (-5)"},
      {Kx::network_error_connect().what(), "could not connect"},
      {Kx::network_error_connect(refused).what(), "could not connect: network error (10061)"},
      {Kx::network_error_connect(Kx::network_error_timeout()).what(), "could not connect: network timeout"},
      {Kx::exception_network_authentication().what(), "Network authentication error"},
      {Kx::exception_network_authentication::fromStatus(0x80090328u, "The certificate has expired.").what(),
       "Network authentication error: The certificate has expired. (80090328)"},
      {Kx::exception_network_authentication::fromStatus(0x1234u, "").what(),
       "Network authentication error (00001234)"},
      {Kx::exception_network_authentication::fromLastError(2148081683u).what(),
       "Network authentication error (win32:2148081683)"},
      {Kx::user_abort().what(), "user abort"},
      {Kx::not_implemented().what(), "not implemented"},
      {Kx::invalid_input().what(), "invalid input"},
      {Kx::bug_check().what(), "bug check"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected);
  EXPECT_EQ(Kx::network_error_connect(refused).code(), 10061);
}

TEST(NetErrors, ConnectAndTimeoutAreNetworkErrors) {
  EXPECT_THROW(throw Kx::network_error_connect(), Kx::network_error);
  EXPECT_THROW(throw Kx::network_error_timeout(), Kx::network_error);
}

}  // namespace
