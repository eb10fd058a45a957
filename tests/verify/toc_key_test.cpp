#include "verify/toc_key.h"

#include <gtest/gtest.h>

TEST(TocKey, SumsWrapAroundAndKeepTrackOrder) {
  EXPECT_EQ(toc_key({10000, 20000}), L"B2807530;10000;20000");
  EXPECT_EQ(toc_key({20000, 10000}), L"B2807530;20000;10000");
  // Squares past 2^32 wrap: 100000^2 = 10^10 -> 0x540BE400.
  EXPECT_EQ(toc_key({100000}), L"F20186A0;100000");
  EXPECT_EQ(toc_key({}), L"00000000");
}
