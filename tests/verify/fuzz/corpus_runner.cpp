// Runs a fuzz target without the fuzzing engine: every file of the corpus
// folders given on the command line, then pseudo-random mutations of them
// (fixed seed, so a failure repeats). Built with the sanitizers, this keeps
// the target's guarantees checked in the ordinary test run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
constexpr int kMutationsPerInput = 50000;
constexpr std::size_t kMaxGrowth = 64;
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::vector<std::uint8_t>> inputs;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream file(entry.path(), std::ios::binary);
      inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "no corpus\n");
    return 1;
  }
  std::mt19937 random(12345);
  for (const auto& input : inputs) LLVMFuzzerTestOneInput(input.data(), input.size());
  const std::uint8_t interesting[] = {'\r', '\n', '\0', ' ', 'H', 'T', 'P', '/', '.', '0', '9', ':', 0xff};
  for (const auto& input : inputs) {
    for (int n = 0; n < kMutationsPerInput; ++n) {
      std::vector<std::uint8_t> mutated = input;
      const int edits = 1 + static_cast<int>(random() % 8);
      for (int e = 0; e < edits; ++e) {
        const std::size_t at = mutated.empty() ? 0 : random() % (mutated.size() + 1);
        switch (random() % 4) {
          case 0:  // replace
            if (at < mutated.size()) mutated[at] = interesting[random() % sizeof interesting];
            break;
          case 1:  // insert
            if (mutated.size() < input.size() + kMaxGrowth)
              mutated.insert(mutated.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(random()));
            break;
          case 2:  // delete
            if (at < mutated.size()) mutated.erase(mutated.begin() + static_cast<std::ptrdiff_t>(at));
            break;
          default:  // cut
            mutated.resize(at);
            break;
        }
      }
      LLVMFuzzerTestOneInput(mutated.data(), mutated.size());
    }
  }
  std::printf("%zu corpus inputs, %d mutations each: no fault\n", inputs.size(), kMutationsPerInput);
  return 0;
}
