// The table-of-contents key under which the lookup service and the lookup
// cache know an album: 8 upper-case hexadecimal digits of S + (Q << 15),
// where S and Q are the 32-bit sums of the track lengths (in sectors) and of
// their squares, then ";" and each length in decimal.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// `lengths` in the order of the album's track vector (not sorted).
std::wstring toc_key(const std::vector<std::int32_t>& lengths);
