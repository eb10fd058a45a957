#include "library/watch_folder_rules.h"

#include <gtest/gtest.h>

TEST(WatchFolderRules, FoldersInsideOthersGo) {
  using List = std::vector<std::wstring>;
  const struct {
    List in;
    List out;
  } cases[] = {
      {{L"C:\\Music", L"c:\\MUSIC\\Rock\\"}, {L"C:\\Music"}},
      {{L"c:\\music\\rock", L"C:\\Music\\\\"}, {L"C:\\Music\\\\"}},
      {{L"C:\\Music", L"c:\\MUSIC\\"}, {L"C:\\Music", L"c:\\MUSIC\\"}},
      {{L"C:\\Music", L"C:\\Musical"}, {L"C:\\Music", L"C:\\Musical"}},
      {{L"D:\\", L"D:\\A\\B", L"E:\\A"}, {L"D:\\", L"E:\\A"}},
      {{L"\\\\srv\\share\\x", L"\\\\SRV\\share"}, {L"\\\\SRV\\share"}},
      {{}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(reduce_watch_folders(c.in), c.out);
}
