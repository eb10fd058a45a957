// The album grouping over generated libraries of 10,000 and 100,000 tracks
// (12 tracks per album, spellings that fold, brackets and disc suffixes),
// without covers and with one cover per album. With covers the decoder is
// replaced by a hook that only touches the bytes, so the figures are the
// grouping's own cost including the art lookups; decoding is separate.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "library/album_grouping.h"
#include "library/index_writer.h"

namespace {
constexpr int kTracksPerAlbum = 12;
// A cover of a typical thumbnail source's size.
constexpr std::size_t kCoverBytes = 8 * 1024;

struct GeneratedLibrary {
  LibraryIndexBuilder builder;
};

std::unique_ptr<GeneratedLibrary> generate(int tracks, bool covers) {
  auto lib = std::make_unique<GeneratedLibrary>();
  for (int i = 0; i < tracks; ++i) {
    const int album = i / kTracksPerAlbum;
    const int number = i % kTracksPerAlbum + 1;
    IndexedTrack t;
    t.file_id = 1000 + i;
    t.file_stamp = 133000000000000000ull + static_cast<std::uint64_t>(i);
    t.second_stamp = t.file_stamp;
    const std::wstring folder = L"D:\\Music\\Artist " + std::to_wstring(album % 997) + L"\\Album " +
                                std::to_wstring(album) + L"\\";
    t.path = folder + std::to_wstring(number) + L" - Track title number " + std::to_wstring(number) + L".flac";
    t.track_stamp = 7000 + i;
    t.properties.items = {{L"Audio Quality", L"Lossless", {}},
                          {L"Sample Count", std::to_wstring(10'000'000 + i), {}},
                          {L"Bitrate", L"1411", {}}};
    t.tags.items = {
        {L"artist", L"S\x00F8ren & The Ensemble " + std::to_wstring(album % 997), {}},
        {L"album artist", L"The Ensembl\x00E9 " + std::to_wstring(album % 997), {}},
        {L"album", L"Album N\x00BA " + std::to_wstring(album) + L" (Remastered) [Disc 1]", {}},
        {L"title", L"Track title number " + std::to_wstring(number), {}},
        {L"track", std::to_wstring(number) + L"/" + std::to_wstring(kTracksPerAlbum), {}},
        {L"disc", L"1/1", {}},
        {L"genre", L"Classical", {}},
        {L"TallydiscResult", L"Tallydisc: Accurate (confidence 12)   [0A1B2C3D]", {}},
    };
    if (covers) {
      t.art.assign(kCoverBytes, static_cast<char>(album & 0x7F));
      t.art.replace(0, 8, std::to_string(100000000 + album));
    }
    lib->builder.add(t);
  }
  return lib;
}

const GeneratedLibrary& library(int tracks, bool covers) {
  static std::map<std::pair<int, bool>, std::unique_ptr<GeneratedLibrary>> made;
  auto& slot = made[{tracks, covers}];
  if (!slot) slot = generate(tracks, covers);
  return *slot;
}

ByteView view(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

void BM_GroupAlbums(benchmark::State& state, bool covers) {
  const auto tracks = static_cast<int>(state.range(0));
  const LibraryIndexBuilder& b = library(tracks, covers).builder;
  const GroupingInput input{b.file_names, b.file_index, b.art_index, view(b.inf_props_n_tags), view(b.album_arts)};
  GroupingHooks hooks;
  std::uint64_t touched = 0;
  if (covers) {
    hooks.decode_cover = [&](ByteView bytes, int) {
      touched += bytes.front() + bytes.back();
      return std::shared_ptr<const XPlatformImage>();
    };
  }
  AlbumGroupingTables tables;
  for (auto _ : state) {
    group_albums(input, {.thumbnail_size = 64}, hooks, tables);
    benchmark::DoNotOptimize(tables.albums.data());
  }
  if (tables.albums.size() != static_cast<std::size_t>((tracks + kTracksPerAlbum - 1) / kTracksPerAlbum))
    state.SkipWithError("unexpected album count");
  benchmark::DoNotOptimize(touched);
  state.SetItemsProcessed(state.iterations() * tracks);
  state.counters["albums"] = static_cast<double>(tables.albums.size());
}
}  // namespace

BENCHMARK_CAPTURE(BM_GroupAlbums, no_covers, false)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GroupAlbums, one_cover_per_album, true)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
