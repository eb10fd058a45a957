#include "library/item_list.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
ItemList sample() {
  ItemList list;
  list.items.push_back({L"album", L"Kind of Blue", ""});
  list.items.push_back({L"artist", L"", ""});
  list.items.push_back({L"cover", L"", std::string("\x89PNG\0\x01", 6)});
  return list;
}
}  // namespace

TEST(ItemBlock, WritesTheExactLayoutAndReadsItBack) {
  ItemList one;
  one.items.push_back({L"ab", L"c", "\x7F"});
  const std::string block = write_item_block(one);
  // count 1; size 4 + 6 + 4 + 1 = 15; "ab\0" "c\0" payload
  EXPECT_EQ(block, std::string("\x01\0\0\0\x0F\0\0\0a\0b\0\0\0c\0\0\0\x7F", 19));
  EXPECT_EQ(parse_item_block(write_item_block(sample())), sample());
  EXPECT_EQ(parse_item_block(write_item_block(ItemList{})).items.size(), 0u);
}

TEST(ItemBlock, LookupFoldsOnlyAsciiLetters) {
  ItemList list = sample();
  list.items.push_back({L"ALBUM", L"second", ""});
  list.items.push_back({L"\xC9t\xE9", L"x", ""});
  EXPECT_EQ(list.value_of(L"Album"), L"Kind of Blue");  // first match wins
  EXPECT_EQ(list.find(L"\xE9t\xE9"), nullptr);
  EXPECT_EQ(list.value_of(L"missing"), L"");
}

TEST(ItemBlock, DamagedBlocksKeepTheCompleteItems) {
  const std::string full = write_item_block(sample());
  std::string claims_five = full;
  claims_five[0] = 5;  // says 5, holds 3
  EXPECT_EQ(parse_item_block(claims_five).items.size(), 3u);
  // Cut inside the third item: two complete items remain.
  EXPECT_EQ(parse_item_block(full.substr(0, full.size() - 3)).items.size(), 2u);
  // A size that cannot hold itself ends the parse instead of spinning.
  for (std::int32_t bad : {0, 3, -1}) {
    std::string block = write_item_block(sample());
    const std::size_t second = 4 + 4 + 2 * 6 + 2 * 13;  // after the first item
    std::memcpy(block.data() + second, &bad, 4);
    EXPECT_EQ(parse_item_block(block).items.size(), 1u) << bad;
  }
  EXPECT_TRUE(parse_item_block(std::string("\x01\0", 2)).items.empty());
  EXPECT_TRUE(parse_item_block(nullptr, 0).items.empty());
}
