#include "verify/toc_lookup_find.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::wstring key_for(int i) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%08X;%d", static_cast<unsigned>(i * 7919), i);
  return text;
}

// 100 entries with distinct keys, except that "DUP" stands at 10 and at 70,
// so which of the two a search returns shows where it started.
std::vector<TDTocLookupEntry> sample_entries() {
  std::vector<TDTocLookupEntry> entries;
  for (int i = 0; i < 100; ++i) {
    std::wstring key = (i == 10 || i == 70) ? std::wstring(L"0000ABCD;DUP") : key_for(i);
    entries.push_back({toc_key_hash(key), key, L"answer" + std::to_wstring(i)});
  }
  return entries;
}
const std::wstring kDup = L"0000ABCD;DUP";
}  // namespace

TEST(TocLookupFind, StartsSixteenBeforeTheLastHit) {
  const auto entries = sample_entries();
  struct Case {
    std::int32_t last_hit;
    std::wstring key;
    std::int32_t found;
  };
  const Case cases[] = {
      {0, kDup, 10},
      {26, kDup, 10},   // starts at 10
      {27, kDup, 70},   // starts at 11: 70 comes first
      {75, kDup, 70},
      {75, key_for(5), 5},    // not after the start: the search wraps around
      {99, key_for(99), 99},
      {100, kDup, 10},  // a last hit beyond the list counts as 0
      {-4, kDup, 10},
  };
  for (const auto& c : cases) {
    std::int32_t last_hit = c.last_hit;
    EXPECT_EQ(find_toc_entry(entries, c.key, last_hit), c.found) << c.last_hit << " " << std::string(c.key.begin(), c.key.end());
    EXPECT_EQ(last_hit, c.found);
  }
}

TEST(TocLookupFind, RepeatedLookupStaysOnTheLastHit) {
  const auto entries = sample_entries();
  std::int32_t last_hit = 0;
  ASSERT_EQ(find_toc_entry(entries, key_for(80), last_hit), 80);
  EXPECT_EQ(find_toc_entry(entries, kDup, last_hit), 70);
  EXPECT_EQ(find_toc_entry(entries, kDup, last_hit), 70);
  EXPECT_EQ(last_hit, 70);
}

TEST(TocLookupFind, MissesLeaveTheLastHit) {
  const auto entries = sample_entries();
  std::int32_t last_hit = 40;
  EXPECT_EQ(find_toc_entry(entries, L"0000abcd;DUP", last_hit), -1);  // keys compare case-sensitively
  EXPECT_EQ(find_toc_entry(entries, L"0000ABCD;DUP2", last_hit), -1);  // same hash, other key
  EXPECT_EQ(last_hit, 40);
  std::vector<TDTocLookupEntry> none;
  EXPECT_EQ(find_toc_entry(none, kDup, last_hit), -1);
}

TEST(TocLookupFind, StoredHashMustMatch) {
  // An entry read from a file whose hash field disagrees with its key is
  // never found by that key.
  std::vector<TDTocLookupEntry> entries{{0x1234, L"0000ABCD;1", L"a"}};
  std::int32_t last_hit = 0;
  EXPECT_EQ(find_toc_entry(entries, L"0000ABCD;1", last_hit), -1);
}
