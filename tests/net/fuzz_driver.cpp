// Runs the fuzz target without libFuzzer: every file of the corpus folders
// given on the command line, then random mutations of them (splices, byte
// flips, inserted framing tokens) for a fixed number of rounds with a fixed
// seed, so that a failure repeats.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
constexpr int kRounds = 200000;
constexpr std::size_t kMaxInput = 4096;

void run(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::string mutate(const std::vector<std::string>& corpus, std::mt19937& random) {
  static const char* const kTokens[] = {"\r\n", "\n", "\r", " ", ":", "0\r\n\r\n", "FFFFFFFFFFFFFFFFF", ";", "HTTP/1.1 ",
                                        "200", "Transfer-Encoding: chunked\r\n", "\r\n\r\n"};
  std::string s = corpus[random() % corpus.size()];
  const int edits = 1 + static_cast<int>(random() % 6);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = s.empty() ? 0 : random() % (s.size() + 1);
    switch (random() % 5) {
      case 0: if (!s.empty() && at < s.size()) s[at] = static_cast<char>(random()); break;
      case 1: if (at < s.size()) s.erase(at, 1 + random() % 8); break;
      case 2: s.insert(at, kTokens[random() % std::size(kTokens)]); break;
      case 3: s.insert(at, std::string(1 + random() % 64, static_cast<char>(random()))); break;
      case 4: { const std::string& other = corpus[random() % corpus.size()];
                s.insert(at, other.substr(random() % (other.size() + 1))); break; }
    }
  }
  if (s.size() > kMaxInput) s.resize(kMaxInput);
  return s;
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> corpus;
  for (int i = 1; i < argc; ++i)
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream file(entry.path(), std::ios::binary);
      corpus.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  if (corpus.empty()) corpus.emplace_back("\x01HTTP/1.1 200 OK\r\n\r\n0\r\n\r\n");
  for (const std::string& input : corpus) run(input);
  std::mt19937 random(20261211);
  for (int round = 0; round < kRounds; ++round) run(mutate(corpus, random));
  std::printf("%zu corpus inputs and %d mutations ran\n", corpus.size(), kRounds);
  return 0;
}
