#include "net/challenge_cache.h"

namespace Kx {

challengeCache& challengeCache::instance() {
  static challengeCache cache;
  return cache;
}

std::vector<std::string> challengeCache::lookup(const std::string& key) const {
  std::lock_guard<std::mutex> guard(lock_);
  const auto found = entries_.find(key);
  return found == entries_.end() ? std::vector<std::string>() : found->second;
}

void challengeCache::store(const std::string& key, std::vector<std::string> challenges) {
  std::lock_guard<std::mutex> guard(lock_);
  entries_[key] = std::move(challenges);
}

void challengeCache::clear() {
  std::lock_guard<std::mutex> guard(lock_);
  entries_.clear();
}

}  // namespace Kx
