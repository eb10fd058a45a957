// The data of the album-key fold table (see album_fold_table.cpp).
#pragma once
#include <span>
#include <string_view>

struct FoldGroup {
  char16_t target;
  std::u16string_view sources;
};

std::span<const FoldGroup> fold_groups();
