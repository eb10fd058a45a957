// An in-memory decoder slot and worker for album-pass tests: files are word
// vectors, delivered in blocks of awkward sizes (empty blocks, misaligned
// data) the way a plug-in may deliver them.
#pragma once
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "verify/track_source.h"

struct FakeFile {
  std::vector<std::uint32_t> words;
  AudioFormat format{2, 44100, 16};
  OpenResult open_result = OpenResult::kOpened;
  int fail_at_block = -1;  // decode_block fails at this block of a full decode
};

class FakeDecoder : public TrackDecoder {
 public:
  std::map<std::wstring, FakeFile> files;
  // Called before every block of a full decode, with its number.
  std::function<void(int)> on_full_block;
  int full_decodes = 0;
  int short_reads = 0;
  bool open_now = false;

  OpenResult open(const std::wstring& path, DecodePurpose purpose, AudioFormat& format) override {
    EXPECT_FALSE(open_now) << "opened twice without close";
    const auto it = files.find(path);
    if (it == files.end()) return OpenResult::kNoDecoder;
    if (it->second.open_result != OpenResult::kOpened) return it->second.open_result;
    file_ = &it->second;
    purpose_ = purpose;
    (purpose == DecodePurpose::kFullDecode ? full_decodes : short_reads)++;
    format = file_->format;
    next_ = 0;
    block_ = 0;
    open_now = true;
    return OpenResult::kOpened;
  }

  bool decode_block(DecodedBlock& out) override {
    EXPECT_TRUE(open_now);
    const int number = block_++;
    if (purpose_ == DecodePurpose::kFullDecode) {
      if (on_full_block) on_full_block(number);
      if (number == file_->fail_at_block) return false;
    }
    // Sizes in words; 0 is a block without data.
    static const std::size_t kSizes[] = {4096, 0, 1000, 587, 4608, 1};
    const std::size_t want = kSizes[number % 6];
    const std::size_t n = std::min(want, file_->words.size() - next_);
    out = DecodedBlock{};
    if (want > 0) {
      // Every other block is misaligned by one byte.
      const std::size_t shift = number % 2;
      bytes_.assign(n * 4 + shift, 0);
      if (n > 0) std::memcpy(bytes_.data() + shift, file_->words.data() + next_, n * 4);
      out.data = bytes_.data() + shift;
      out.bytes = n * 4;
    }
    next_ += n;
    out.end_of_stream = next_ == file_->words.size();
    return true;
  }

  void close() override { open_now = false; }

 private:
  FakeFile* file_ = nullptr;
  DecodePurpose purpose_ = DecodePurpose::kShortRead;
  std::size_t next_ = 0;
  int block_ = 0;
  std::vector<std::uint8_t> bytes_;
};

class FakeHost : public AlbumPassHost {
 public:
  FakeDecoder slot;
  bool abort = false;
  std::vector<std::wstring> prereads;

  bool abort_signalled() override { return abort; }
  void preread_file(const std::wstring& path) override { prereads.push_back(path); }
  TrackDecoder& decoder() override { return slot; }
};
