// The categories of the album list, in the order the category list shows
// them, with their numbers and texts.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace category {
inline constexpr int kAccurate = 0;
inline constexpr int kWithErrors = 1;
inline constexpr int kNotPresent = 2;
inline constexpr int kCannotCheck = 3;
inline constexpr int kTotal = 4;
inline constexpr int kCorrupted = 5;
inline constexpr int kUserExcluded = 6;
}  // namespace category

struct CategoryCounts {
  std::size_t corrupted_tracks = 0;
  std::size_t with_errors = 0;
  std::size_t accurate = 0;
  std::size_t not_present = 0;
  std::size_t cannot_check = 0;
  std::size_t user_excluded = 0;
  std::size_t total = 0;
};

struct CategoryEntry {
  int number;
  std::wstring text;
  std::size_t count;
};

// The entries shown: every non-empty category in list order, and always
// the total last. "%d %s ..." takes the singular word exactly for 1.
std::vector<CategoryEntry> category_entries(const CategoryCounts& counts);
