#include "verify/record_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct Rec {
  std::uint8_t confidence;
  std::uint32_t checksum;
  std::uint32_t offset_checksum;
};

void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

// One pressing chunk: count, 12 identifier bytes, 9 bytes per track.
std::string chunk(const std::vector<Rec>& records) {
  std::string out(1, static_cast<char>(records.size()));
  out += std::string(12, '\x5A');
  for (const Rec& r : records) {
    out += static_cast<char>(r.confidence);
    put32(out, r.checksum);
    put32(out, r.offset_checksum);
  }
  return out;
}

std::vector<TDTrackCheck> album(std::size_t tracks) { return std::vector<TDTrackCheck>(tracks); }

void read_files(std::vector<TDTrackCheck>& tracks, const std::vector<std::string>& files) {
  RecordEntryReader reader(tracks);
  for (std::size_t i = 0; i < files.size(); ++i)
    reader.read(reinterpret_cast<const std::uint8_t*>(files[i].data()), files[i].size(), static_cast<int>(i));
}

TDTrackEntry entry(std::uint8_t confidence, std::uint32_t checksum, std::uint32_t offset_checksum, int source) {
  return {confidence, checksum, offset_checksum, source};
}
}  // namespace

TEST(RecordReader, ReadsChunksOfEveryFileInOrderAndMergesRepeatedPairs) {
  auto tracks = album(2);
  read_files(tracks, {chunk({{3, 0xA1, 0xB1}, {4, 0xA2, 0xB2}}) + chunk({{7, 0xA1, 0xB1}, {2, 0xC2, 0}}),
                      chunk({{9, 0xC2, 0}, {5, 0xA1, 0xB1}})});
  // The pair (0xA1, 0xB1) seen with 3 then 7 is one entry of 7, from file 0;
  // on track 2 the same pair is new; the same checksum with another offset
  // checksum is another entry.
  EXPECT_EQ(tracks[0].entries, (std::vector{entry(7, 0xA1, 0xB1, 0), entry(9, 0xC2, 0, 1)}));
  EXPECT_EQ(tracks[1].entries, (std::vector{entry(4, 0xA2, 0xB2, 0), entry(2, 0xC2, 0, 0), entry(5, 0xA1, 0xB1, 1)}));

  // Merging never lowers a confidence and also merges into entries that
  // were there before the reader started.
  RecordEntryReader again(tracks);
  const std::string low = chunk({{1, 0xA1, 0xB1}});
  again.read(reinterpret_cast<const std::uint8_t*>(low.data()), low.size(), 5);
  EXPECT_EQ(tracks[0].entries.front(), entry(7, 0xA1, 0xB1, 0));
  EXPECT_EQ(tracks[0].entries.size(), 2u);
}

TEST(RecordReader, ChunkLengthDiffersFromTheAlbum) {
  std::vector<Rec> fourteen;
  for (std::uint32_t t = 1; t <= 14; ++t) fourteen.push_back({2, 0x100 + t, 0x200 + t});
  auto twelve = album(12);
  read_files(twelve, {chunk(fourteen) + chunk({{6, 0x999, 0}})});
  for (std::uint32_t t = 1; t <= 12; ++t) {
    ASSERT_GE(twelve[t - 1].entries.size(), 1u);
    EXPECT_EQ(twelve[t - 1].entries[0], entry(2, 0x100 + t, 0x200 + t, 0));
  }
  // The two surplus records were skipped, not taken as the next header: the
  // following one-track chunk lands on track 1.
  EXPECT_EQ(twelve[0].entries.size(), 2u);
  EXPECT_EQ(twelve[0].entries[1], entry(6, 0x999, 0, 0));
  for (std::size_t t = 1; t < 12; ++t) EXPECT_EQ(twelve[t].entries.size(), 1u);
}

TEST(RecordReader, ShortOrDamagedFilesKeepWhatWasReadBeforeTheEnd) {
  const std::string whole = chunk({{3, 0xA1, 0xB1}, {4, 0xA2, 0xB2}});
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t track1, track2;
  } cases[] = {
      {"empty file", "", 0, 0},
      {"5 bytes", whole.substr(0, 5), 0, 0},
      {"header only", whole.substr(0, 13), 0, 0},
      {"second record cut", whole.substr(0, whole.size() - 1), 1, 0},
      {"next header cut", whole + chunk({{1, 0xF, 0}}).substr(0, 12), 1, 1},
      {"zero tracks listed", chunk({}) + whole, 1, 1},
  };
  for (const auto& c : cases) {
    auto tracks = album(2);
    read_files(tracks, {c.bytes, chunk({{8, 0xEE, 0}})});
    EXPECT_EQ(tracks[0].entries.size(), c.track1 + 1) << c.what;
    EXPECT_EQ(tracks[1].entries.size(), c.track2) << c.what;
    // The next file is read all the same.
    EXPECT_EQ(tracks[0].entries.back(), entry(8, 0xEE, 0, 1)) << c.what;
  }
}
