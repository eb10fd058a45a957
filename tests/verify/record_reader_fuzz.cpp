// Fuzz target of the database record reader. Input: byte 0 is the album's
// track count, byte 1 where the rest splits into two record files.
// Built with clang it is a libFuzzer target (scripts/fuzz.sh); otherwise
// fuzz_corpus_main.cpp runs it over the files named on the command line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "verify/record_reader.h"

namespace {
void require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t track_count = data[0];
  const std::uint8_t* body = data + 2;
  const std::size_t body_size = size - 2;
  const std::size_t first_size = std::min<std::size_t>(static_cast<std::size_t>(data[1]) * 9, body_size);

  std::vector<TDTrackCheck> tracks(track_count);
  RecordEntryReader reader(tracks);
  reader.read(body, first_size, 0);
  reader.read(body + first_size, body_size - first_size, 1);

  std::size_t total = 0;
  for (const TDTrackCheck& t : tracks) {
    std::set<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (const TDTrackEntry& e : t.entries) {
      require(pairs.emplace(e.checksum, e.offset_checksum).second);
      require(e.source == 0 || e.source == 1);
    }
    total += t.entries.size();
  }
  // Every entry comes from a whole 9-byte record.
  require(total <= body_size / kRecordTrackSize);
  return 0;
}
