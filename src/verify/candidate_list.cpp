#include "verify/candidate_list.h"

#include <algorithm>

std::vector<std::int32_t> build_candidate_list(const std::vector<std::int32_t>& found, std::int32_t carried_offset) {
  std::vector<std::int32_t> all = found.empty() ? std::vector<std::int32_t>{0} : found;
  if (carried_offset != kNoCarriedOffset) all.push_back(carried_offset);
  std::vector<std::int32_t> list;
  for (std::int32_t offset : all) {
    if (list.size() == kMaxCandidates) break;
    if (std::find(list.begin(), list.end(), offset) == list.end()) list.push_back(offset);
  }
  return list;
}
