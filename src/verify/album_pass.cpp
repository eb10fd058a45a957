#include "verify/album_pass.h"

#include <algorithm>
#include <cstring>

#include "verify/checksum_stream.h"
#include "verify/offset_search.h"
#include "verify/track_match.h"

namespace {
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

std::size_t AlbumPass::copy_words(std::uint64_t skip, std::uint32_t* dest, std::size_t want) {
  TrackDecoder& decoder = host_.decoder();
  std::size_t copied = 0;
  std::uint64_t seen = 0;
  DecodedBlock block;
  while (copied < want && decoder.decode_block(block)) {
    std::size_t count = 0;
    const std::uint32_t* words = block_words(block, count);
    const std::uint64_t block_end = seen + count;
    if (block_end > skip) {
      const std::size_t from = seen >= skip ? 0 : static_cast<std::size_t>(skip - seen);
      const std::size_t n = std::min(count - from, want - copied);
      std::copy_n(words + from, n, dest + copied);
      copied += n;
    }
    seen = block_end;
    if (block.end_of_stream) break;
    block = DecodedBlock{};
  }
  return copied;
}

std::vector<std::int32_t> AlbumPass::search_offsets(const TDTrackCheck& track) {
  if (track.length <= kMinSectorsForOffsetSearch) return {};
  AudioFormat format;
  if (host_.decoder().open(track.path, DecodePurpose::kShortRead, format) != OpenResult::kOpened) return {};
  std::vector<std::uint32_t> window(kOffsetSearchWords);
  std::size_t copied;
  {
    OpenFile file(host_.decoder());
    copied = copy_words(kOffsetSearchSkipWords, window.data(), window.size());
  }
  if (copied < window.size()) return {};
  return find_offset_candidates(window.data(), track.entries);
}

void AlbumPass::read_head(const std::wstring& path) {
  AudioFormat format;
  if (host_.decoder().open(path, DecodePurpose::kShortRead, format) != OpenResult::kOpened) return;
  OpenFile file(host_.decoder());
  copy_words(0, head_.data(), head_.size());
}

TrackPassResult AlbumPass::track_pass(const TDTrackCheck& track, bool first, bool last) {
  TrackPassResult result;
  const std::vector<std::int32_t> offsets = build_candidate_list(search_offsets(track), carried_offset_);

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

    ChecksumStream stream(offsets, track.length, first, last);
    bool aborted = host_.abort_signalled();
    if (!aborted) stream.feed(carry_over_.data(), carry_over_.size());

    // This track's tail becomes the next track's carry-over.
    const std::int64_t tail_start = static_cast<std::int64_t>(track.length) * kWordsPerSector - kEdgeWords;
    std::size_t tail_count = 0;
    std::int64_t index = 0;  // of the next word within the track
    DecodedBlock block;
    while (!aborted) {
      if (host_.abort_signalled()) {
        aborted = true;
        break;
      }
      block = DecodedBlock{};
      if (!decoder.decode_block(block)) {
        // Partial sums mean nothing: the track is reported as corrupted.
        result.text = track_text::kCorrupted;
        result.error = true;
        return result;
      }
      std::size_t count = 0;
      const std::uint32_t* words = block_words(block, count);
      if (count > 0) {
        stream.feed(words, count);
        if (!last && tail_count < carry_over_.size()) {
          const std::int64_t from = std::max<std::int64_t>(tail_start - index, 0);
          if (from < static_cast<std::int64_t>(count)) {
            const std::size_t n = std::min(count - static_cast<std::size_t>(from), carry_over_.size() - tail_count);
            std::copy_n(words + from, n, carry_over_.data() + tail_count);
            tail_count += n;
          }
        }
        index += static_cast<std::int64_t>(count);
      }
      if (block.end_of_stream) break;
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
