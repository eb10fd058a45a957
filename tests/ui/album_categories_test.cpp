#include "ui/album_categories.h"

#include <gtest/gtest.h>

TEST(AlbumCategories, ListOrderWordsAndEmptyCategories) {
  CategoryCounts c;
  c.corrupted_tracks = 1;
  c.accurate = 2;
  c.cannot_check = 1;
  c.total = 3;
  const auto entries = category_entries(c);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].text, L"1 Track Corrupted");
  EXPECT_EQ(entries[0].number, category::kCorrupted);
  EXPECT_EQ(entries[1].text, L"2 Albums Accurately Ripped");
  EXPECT_EQ(entries[2].text, L"1 Album Cannot Check");
  EXPECT_EQ(entries[3].text, L"3 Total Albums");

  const auto only_total = category_entries(CategoryCounts{});
  ASSERT_EQ(only_total.size(), 1u);
  EXPECT_EQ(only_total[0].text, L"0 Total Albums");
  c = CategoryCounts{};
  c.corrupted_tracks = 2, c.with_errors = 1, c.not_present = 3, c.user_excluded = 1, c.total = 1;
  std::vector<std::wstring> texts;
  for (const auto& e : category_entries(c)) texts.push_back(e.text);
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"2 Tracks Corrupted", L"1 Album With Ripping Errors",
                                              L"3 Albums Not Present in Tallydisc", L"1 Album User Excluded",
                                              L"1 Total Album"}));
}
