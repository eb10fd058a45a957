// The search of the table-of-contents lookup cache. Albums of consecutive
// runs come in the same order, so the search starts a little before the
// entry found last time and wraps around to the start.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "verify/cache_lines.h"

// How far before the last hit the search begins.
inline constexpr std::int32_t kTocSearchBacktrack = 16;

// Index of the entry whose hash and key (exact, case-sensitive) match, or
// -1. A match becomes `last_hit`; a `last_hit` outside the list counts as 0.
std::int32_t find_toc_entry(const std::vector<TDTocLookupEntry>& entries, std::wstring_view key,
                            std::int32_t& last_hit);
