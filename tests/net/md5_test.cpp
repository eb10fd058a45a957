#include "net/md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {
struct Vector {
  std::string input;
  const char* digest;
};

// RFC 1321's own vectors, and inputs around the 56- and 64-byte padding edges.
const Vector kVectors[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
    {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
    {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
    {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
    {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
    {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
    {std::string(1000, 'a'), "cabe45dcc9ae5b66ba86600cca6b8ba8"},
};
}  // namespace

TEST(HasherMD5, KnownDigestsWhateverTheWritePieces) {
  Kx::hasherMD5 hasher;
  for (const Vector& v : kVectors) {
    hasher.write(v.input.data(), v.input.size());
    EXPECT_EQ(hasher.finishHex(), v.digest) << v.input.size() << " bytes at once";
    // Pieces of every size up to 70 cross the block edges at every offset.
    for (std::size_t piece = 1; piece <= 70; ++piece) {
      for (std::size_t at = 0; at < v.input.size(); at += piece)
        hasher.write(v.input.data() + at, std::min(piece, v.input.size() - at));
      ASSERT_EQ(hasher.finishHex(), v.digest) << v.input.size() << " bytes in pieces of " << piece;
    }
  }
}

TEST(HasherMD5, FinishStartsOverAndWritesThroughTheStreamInterface) {
  Kx::hasherMD5 hasher;
  Kx::streamOut& out = hasher;
  EXPECT_TRUE(out.canWrite());
  EXPECT_EQ(out.writeSome("abc", 3), 3u);
  const Kx::hasherMD5::digest first = hasher.finish();
  EXPECT_EQ(Kx::hasherMD5::toHex(first), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(hasher.finishHex(), "d41d8cd98f00b204e9800998ecf8427e");
}
