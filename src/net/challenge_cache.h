// The process-wide cache of authentication challenges: for each server or
// proxy key (see hostKey) the challenge values it sent last, so that later
// requests answer them without first being refused.
#pragma once
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace Kx {

class challengeCache {
 public:
  // The one cache of the process, made on first use.
  static challengeCache& instance();

  // The stored list, empty when none.
  std::vector<std::string> lookup(const std::string& key) const;
  void store(const std::string& key, std::vector<std::string> challenges);
  void clear();

 private:
  mutable std::mutex lock_;
  std::unordered_map<std::string, std::vector<std::string>> entries_;
};

}  // namespace Kx
