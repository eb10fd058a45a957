#include "verify/disc_identifier.h"

#include <gtest/gtest.h>

TEST(DiscIdentifier, ComputesTheFilingIdentifier) {
  struct Case {
    std::vector<std::uint64_t> lengths;
    const wchar_t* expected;
  } cases[] = {
      // offsets 0, 10000, 30000; digits of 150/75 = 2 and 10150/75 = 135.
      {{10000, 20000}, L"002-00009c40-0001adb1-0b019002;10000;20000"},
      // One minute: 4500 = 0x1194; 1 + 2 x 4500 = 0x2329; 60 s = 0x3c.
      {{4500}, L"001-00001194-00002329-02003c01;4500"},
      // Only the low 32 bits of a slot are the length.
      {{(1ull << 32) | 4500}, L"001-00001194-00002329-02003c01;4500"},
      // The sums wrap at 32 bits: 1 + 2 x 0x80000000 = 1. 2^31 sectors are
      // 28633115 s (0x1b4e81b), whose shift by 8 loses its top bits.
      {{0x80000000u}, L"001-80000000-00000001-b6e81b01;2147483648"},
      {{}, L"000-00000000-00000001-00000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(compute_disc_identifier(c.lengths), c.expected);
}

TEST(DiscIdentifier, AlbumsOfMoreThan255TracksHaveNone) {
  EXPECT_EQ(compute_disc_identifier(std::vector<std::uint64_t>(256, 1000)), L"");
  const std::wstring id = compute_disc_identifier(std::vector<std::uint64_t>(255, 1000));
  EXPECT_EQ(id.substr(0, 4), L"255-");
}
