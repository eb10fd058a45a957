#include "audio/shared_block.h"

#include <gtest/gtest.h>

TEST(SharedBlock, TwoOpenersShareTheValue) {
  const std::wstring name = L"sid-dup-test-" + std::to_wstring(GetCurrentProcessId()) + L"-pcdone";
  XSharedBlock ours, theirs;
  ASSERT_TRUE(ours.open(name));
  ASSERT_TRUE(theirs.open(name));  // the second opener gets the same objects
  ours.write(0);
  theirs.write(57);
  EXPECT_EQ(ours.read(), 57u);
  XHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, (L"SMutex_" + name).c_str()));
  EXPECT_TRUE(mutex.valid());
  ours.close();
  EXPECT_EQ(ours.read(), 57u);  // closed: the last value read
}
