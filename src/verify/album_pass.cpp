#include "verify/album_pass.h"

#include <algorithm>
#include <cstring>

#include "verify/checksum_stream.h"
#include "verify/offset_search.h"
#include "verify/track_match.h"

namespace {
// A zero-wait test of the abort event is a system call, and under wine a
// round trip to its server that can take tens of microseconds on a busy
// machine: more than summing a block. While a track decodes, the event is
// therefore tested before a block only once this many words have passed
// since the last test (about 1.5 s of audio, milliseconds of decoding).
constexpr std::uint64_t kAbortTestWords = 65536;
// Every block counts as at least this many words, so that a decoder that
// keeps delivering empty blocks still reaches a test.
constexpr std::uint64_t kMinBlockCharge = 1024;

// The only stream format the database's checksums are defined for.
bool is_cd_quality(const AudioFormat& f) {
  return f.channels == 2 && f.sample_rate == 44100 && f.bits_per_sample == 16;
}

// Closes the decoder's open file when the pass leaves, on every path.
class OpenFile {
 public:
  explicit OpenFile(TrackDecoder& decoder) : decoder_(decoder) {}
  ~OpenFile() { decoder_.close(); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

 private:
  TrackDecoder& decoder_;
};
}  // namespace

const std::uint32_t* AlbumPass::block_words(const DecodedBlock& block, std::size_t& count) {
  count = block.data ? block.bytes / sizeof(std::uint32_t) : 0;
  if (count == 0) return nullptr;
  if (reinterpret_cast<std::uintptr_t>(block.data) % alignof(std::uint32_t) == 0)
    return reinterpret_cast<const std::uint32_t*>(block.data);
  scratch_.resize(count);
  std::memcpy(scratch_.data(), block.data, count * sizeof(std::uint32_t));
  return scratch_.data();
}

void AlbumPass::copy_words(std::uint32_t* dest, std::size_t want) {
  TrackDecoder& decoder = host_.decoder();
  std::size_t copied = 0;
  DecodedBlock block;
  while (copied < want && decoder.decode_block(block)) {
    std::size_t count = 0;
    const std::uint32_t* words = block_words(block, count);
    const std::size_t n = std::min(count, want - copied);
    std::copy_n(words, n, dest + copied);
    copied += n;
    if (block.end_of_stream) break;
    block = DecodedBlock{};
  }
}

void AlbumPass::read_head(const std::wstring& path) {
  AudioFormat format;
  if (host_.decoder().open(path, DecodePurpose::kShortRead, format) != OpenResult::kOpened) return;
  OpenFile file(host_.decoder());
  copy_words(head_.data(), head_.size());
}

bool AlbumPass::next_words(const std::uint32_t*& words, std::size_t& count, bool& end_of_stream) {
  DecodedBlock block;
  if (!host_.decoder().decode_block(block)) return false;
  words = block_words(block, count);
  end_of_stream = block.end_of_stream;
  words_since_abort_test_ += std::max<std::uint64_t>(count, kMinBlockCharge);
  return true;
}

bool AlbumPass::abort_before_block() {
  if (words_since_abort_test_ < kAbortTestWords) return false;
  words_since_abort_test_ = 0;
  return host_.abort_signalled();
}

void AlbumPass::feed_track_words(ChecksumStream& stream, const std::uint32_t* words, std::size_t count,
                                 TrackTail& tail) {
  if (count == 0) return;
  stream.feed(words, count);
  if (tail.keep && tail.count < carry_over_.size()) {
    const std::int64_t from = std::max<std::int64_t>(tail.start - tail.index, 0);
    if (from < static_cast<std::int64_t>(count)) {
      const std::size_t n = std::min(count - static_cast<std::size_t>(from), carry_over_.size() - tail.count);
      std::copy_n(words + from, n, carry_over_.data() + tail.count);
      tail.count += n;
    }
  }
  tail.index += static_cast<std::int64_t>(count);
}

TrackPassResult AlbumPass::track_pass(const TDTrackCheck& track, bool first, bool last) {
  TrackPassResult result;
  TrackDecoder& decoder = host_.decoder();
  AudioFormat format;
  switch (decoder.open(track.path, DecodePurpose::kFullDecode, format)) {
    case OpenResult::kNoDecoder:
      result.text = track_text::kNoDecoder;
      result.error = true;
      return result;
    case OpenResult::kOpenFailed:
      result.text = track_text::kOpenFailed;
      result.error = true;
      return result;
    case OpenResult::kOpened:
      break;
  }
  {
    OpenFile file(decoder);
    if (!is_cd_quality(format)) {
      result.not_cd_quality = true;
      return result;
    }

    // The offset search needs the words around sector 450 before summing
    // can start; they come from this decode, held back until the
    // candidates are known, so the file is decoded once.
    bool aborted = false;
    bool ended = false;
    opening_.clear();
    words_since_abort_test_ = kAbortTestWords;  // test before the first block
    const std::uint32_t* words = nullptr;
    std::size_t count = 0;
    // Partial sums mean nothing: a decoding failure makes the track corrupted.
    const auto corrupted = [&result] {
      result.text = track_text::kCorrupted;
      result.error = true;
      return result;
    };
    if (track.length > kMinSectorsForOffsetSearch) {
      while (!ended && opening_.size() < kOffsetSearchSkipWords + kOffsetSearchWords) {
        if (abort_before_block()) {
          aborted = true;
          break;
        }
        if (!next_words(words, count, ended)) return corrupted();
        opening_.insert(opening_.end(), words, words + count);
      }
    }
    std::vector<std::int32_t> found;
    if (opening_.size() >= kOffsetSearchSkipWords + kOffsetSearchWords)
      found = find_offset_candidates(opening_.data() + kOffsetSearchSkipWords, track.entries);

    ChecksumStream stream(build_candidate_list(found, carried_offset_), track.length, first, last);
    // This track's tail becomes the next track's carry-over.
    TrackTail tail;
    tail.keep = !last;
    tail.start = static_cast<std::int64_t>(track.length) * kWordsPerSector - static_cast<std::int64_t>(kEdgeWords);
    if (!aborted && !host_.abort_signalled()) {
      stream.feed(carry_over_.data(), carry_over_.size());
      feed_track_words(stream, opening_.data(), opening_.size(), tail);
    } else {
      aborted = true;
    }
    while (!aborted && !ended) {
      if (abort_before_block()) {
        aborted = true;
        break;
      }
      if (!next_words(words, count, ended)) return corrupted();
      feed_track_words(stream, words, count, tail);
    }
    if (!aborted && !host_.abort_signalled()) stream.feed(head_.data(), head_.size());
    const TrackMatch match = match_track(track.entries, stream.candidates(), require_two_, carried_offset_);
    result.matched = match.matched;
    result.best_confidence = match.best_confidence;
    result.text = match.text;
  }
  if (track.length <= kMaxTooShortSectors) {
    result.text = track_text::kTooShort;
    result.error = true;
    result.matched = false;
  }
  return result;
}

AlbumPassResult AlbumPass::run(const std::vector<TDTrackCheck>& tracks) {
  AlbumPassResult out;
  int verified = 0;
  int confidence_sum = 0;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (host_.abort_signalled()) break;
    const bool first = i == 0;
    const bool last = i + 1 == tracks.size();
    if (!last) read_head(tracks[i + 1].path);
    host_.preread_file(tracks[i].path);

    TrackPassResult pass = track_pass(tracks[i], first, last);
    std::uint32_t status;
    if (pass.not_cd_quality) {
      status = track_status::kInaccurate;
      pass.text = track_text::kNotCdQuality;
      ++out.cannot_check_count;
    } else if (pass.error) {
      status = track_status::kError;
      ++out.cannot_check_count;
    } else if (pass.matched) {
      status = track_status::kAccurate;
      ++verified;
      confidence_sum += pass.best_confidence;
    } else {
      status = track_status::kInaccurate;
      pass.text = track_text::kInaccurate;
    }
    out.statuses.push_back(status);
    out.lines.push_back(track_line(tracks[i].track_number, pass.text));
  }
  out.average_confidence = verified > 0 ? static_cast<double>(confidence_sum) / verified : 0.0;
  return out;
}
