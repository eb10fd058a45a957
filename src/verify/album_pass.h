// The album pass: every track of an album decoded in order, its checksums
// summed over the candidate offsets and matched against its database
// entries. Neighbouring tracks lend each other their edges (the carry-over
// and head buffers) so that shifted alignments can reach across the track
// boundary, as they do on the disc.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "verify/candidate_list.h"
#include "verify/checksum_stream.h"
#include "verify/sample_words.h"
#include "verify/track_check.h"
#include "verify/track_source.h"

struct TrackPassResult {
  bool matched = false;
  int best_confidence = 0;
  std::wstring text;
  bool error = false;
  bool not_cd_quality = false;
};

struct AlbumPassResult {
  // One status (track_status) and one "Track %d: %s" line per track passed;
  // fewer than the tracks when the pass was aborted.
  std::vector<std::uint32_t> statuses;
  std::vector<std::wstring> lines;
  // Confidence sum / verified tracks; 0 when nothing was verified.
  double average_confidence = 0;
  int cannot_check_count = 0;
};

// One album pass; an object lives for one album.
class AlbumPass {
 public:
  // `require_two`: database entries of confidence 1 are passed over.
  AlbumPass(AlbumPassHost& host, bool require_two) : host_(host), require_two_(require_two) {}

  AlbumPassResult run(const std::vector<TDTrackCheck>& tracks);

 private:
  using EdgeBuffer = std::array<std::uint32_t, kEdgeWords>;

  // The pass over one track: one decode, whose opening also serves the
  // offset search; the checksum stream; matching. The carry-over buffer
  // must hold the previous track's tail and the head buffer the next
  // track's beginning (run() sees to both).
  TrackPassResult track_pass(const TDTrackCheck& track, bool first, bool last);

  // The words of the next block of the open file; false when decoding failed.
  bool next_words(const std::uint32_t*& words, std::size_t& count, bool& end_of_stream);
  // Whether the abort event is set, tested only every so many words.
  bool abort_before_block();
  // Where the track's words go besides the stream: from `start` on (index
  // within the track), into the carry-over buffer for the next track.
  struct TrackTail {
    bool keep = false;
    std::int64_t start = 0;
    std::int64_t index = 0;  // of the next word
    std::size_t count = 0;   // words kept so far
  };
  void feed_track_words(ChecksumStream& stream, const std::uint32_t* words, std::size_t count, TrackTail& tail);
  // The next track's first words into the head buffer; a file that cannot
  // be read leaves the buffer as it was.
  void read_head(const std::wstring& path);
  // Copies the first words of the open file into dest until `want` are
  // copied, the stream ends or decoding fails.
  void copy_words(std::uint32_t* dest, std::size_t want);
  // The words of a block (copied to scratch when the decoder's data is not
  // aligned to words); count 0 when it carries none.
  const std::uint32_t* block_words(const DecodedBlock& block, std::size_t& count);

  AlbumPassHost& host_;
  const bool require_two_;
  // Zero-filled at the start: the first and last tracks never sum what
  // lies beyond the album.
  EdgeBuffer carry_over_{};
  EdgeBuffer head_{};
  std::int32_t carried_offset_ = kNoCarriedOffset;
  std::vector<std::uint32_t> scratch_;
  std::uint64_t words_since_abort_test_ = 0;
  // The opening of the track being decoded, up to the offset search's
  // window (455 sectors, about 1 MiB), reused from track to track.
  std::vector<std::uint32_t> opening_;
};
