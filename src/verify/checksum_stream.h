// The TDv1 and TDv2 sums of one track over several candidate alignments,
// computed in one pass over the track's stream of words.
//
// The stream is: the previous track's last kEdgeWords words, the track's
// own words, the next track's first kEdgeWords words. A candidate with
// offset o sums the L × 588 words that start at stream index kEdgeWords + o,
// each multiplied by its 1-based place m in that window; the first track of
// an album leaves out m < kEdgeWords, the last one m > L × 588 − kEdgeWords.
//   TDv1 += m × s (32-bit); with P = m × s in 64 bits,
//   TDv2 += low 32 bits of P + high 32 bits of P (32-bit).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One alignment under test.
struct TDOffsetCandidate {
  // In samples; positive means the database's track starts that many
  // samples later in this rip.
  std::int32_t offset = 0;
  std::uint32_t tdv1_sum = 0;
  std::uint32_t tdv2_sum = 0;
  // Stream indexes of the aligned track, end exclusive; the multiplier of
  // the word at index p inside it is p − window_start + 1.
  std::uint32_t window_start = 0;
  std::uint32_t window_end = 0;
  // Only multipliers in [lowest, highest] are summed.
  std::int32_t lowest_multiplier = 0;
  std::int32_t highest_multiplier = 0;
};

// Adds m × s to both sums for `count` consecutive words, m starting at
// `first_multiplier` and rising by one per word. The kernel of the pass.
void sum_words(const std::uint32_t* words, std::size_t count, std::uint32_t first_multiplier, std::uint32_t& tdv1,
               std::uint32_t& tdv2);

class ChecksumStream {
 public:
  // `length` in sectors; `first`/`last`: the track's place in the album.
  ChecksumStream(const std::vector<std::int32_t>& offsets, std::int32_t length, bool first, bool last);

  // Feeds the next words of the stream to every candidate.
  void feed(const std::uint32_t* words, std::size_t count);

  const std::vector<TDOffsetCandidate>& candidates() const { return candidates_; }
  std::uint64_t position() const { return position_; }

 private:
  // Stream indexes [begin, end) whose words a candidate sums: its window cut
  // to its multiplier bounds, worked out once so that feeding tests no
  // window per word.
  struct SummedSpan {
    std::uint64_t begin;
    std::uint64_t end;
  };

  std::vector<TDOffsetCandidate> candidates_;
  std::vector<SummedSpan> spans_;
  std::uint64_t position_ = 0;
};
