#include "verify/verification_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "library/exceptions.h"
#include "library/index_files.h"
#include "shell/settings_store.h"
#include "support/temp_folder.h"
#include "verify/disc_identifier.h"
#include "verify/toc_key.h"

namespace {
struct TestTrack {
  std::int32_t number;
  std::int32_t total;
  std::int32_t length;  // sectors
  std::wstring extra_tag_name = {};
  std::wstring extra_tag_value = {};
};
struct TestAlbum {
  std::wstring title;
  std::vector<TestTrack> tracks;
};

// Every track of a run reads as silence, so its sums are 0: an entry of
// checksum 0 makes it accurate. Album passes are counted as they overlap.
struct World {
  std::mutex lock;
  std::vector<std::size_t> batch_sizes;
  std::map<std::wstring, std::wstring> answers;  // toc key -> answer
  std::set<std::wstring> known_identifiers;       // identifiers with a record
  std::vector<std::wstring> fetched;
  std::map<std::wstring, std::int32_t> lengths;  // path -> sectors
  std::atomic<int> active{0}, most_active{0}, passes{0};
  DWORD pass_ms = 20;
  bool block_until_stopped = false;
};

class SilentDecoder : public TrackDecoder {
 public:
  explicit SilentDecoder(World& world) : world_(world) {}
  OpenResult open(const std::wstring& path, DecodePurpose, AudioFormat& format) override {
    std::lock_guard<std::mutex> hold(world_.lock);
    const auto it = world_.lengths.find(path);
    if (it == world_.lengths.end()) return OpenResult::kNoDecoder;
    left_ = static_cast<std::size_t>(it->second) * 588;
    format = AudioFormat{2, 44100, 16};
    return OpenResult::kOpened;
  }
  bool decode_block(DecodedBlock& block) override {
    static const std::uint8_t zeros[4 * 4096] = {};
    const std::size_t words = std::min<std::size_t>(left_, 4096);
    left_ -= words;
    block = DecodedBlock{zeros, words * 4, left_ == 0};
    return true;
  }
  void close() override {}

 private:
  World& world_;
  std::size_t left_ = 0;
};

class CountingHost : public AlbumPassHost {
 public:
  CountingHost(World& world, const XEvent& stop) : world_(world), stop_(stop), decoder_(world) {
    const int now = ++world_.active;
    int most = world_.most_active.load();
    while (now > most && !world_.most_active.compare_exchange_weak(most, now)) {
    }
    ++world_.passes;
    if (world_.block_until_stopped) stop_.wait(INFINITE);
    else Sleep(world_.pass_ms);
  }
  ~CountingHost() override { --world_.active; }
  bool abort_signalled() override { return stop_.is_set(); }
  void preread_file(const std::wstring&) override {}
  TrackDecoder& decoder() override { return decoder_; }

 private:
  World& world_;
  XEvent stop_;
  SilentDecoder decoder_;
};

class TestRun : public clTallydiscCommon {
 public:
  TestRun(const std::wstring& folder, World& world, unsigned threads)
      : clTallydiscCommon(folder, services(world, threads)) {}
  void status(int percent, const std::wstring& text) override {
    EXPECT_EQ(percent, 0);
    EXPECT_EQ(text, L"Checking with Tallydisc");
    ++statuses;
  }
  void progress(int percent, const std::shared_ptr<const XPlatformImage>&) override {
    EXPECT_GE(percent, 0);
    EXPECT_LE(percent, 100);
    ++progresses;
  }
  int statuses = 0;
  int progresses = 0;

 private:
  static VerificationServices services(World& world, unsigned threads) {
    VerificationServices s;
    s.lookup = [&world](std::vector<TDLookupItem>& batch) {
      std::lock_guard<std::mutex> hold(world.lock);
      world.batch_sizes.push_back(batch.size());
      for (auto& item : batch) {
        const auto it = world.answers.find(item.key);
        if (item.answer.empty() && it != world.answers.end()) item.answer = it->second;
      }
      return TDLookupResult{};
    };
    s.fetch_and_read = [&world](const std::wstring& ids, std::vector<TDTrackCheck>& tracks, bool& network_failure) {
      std::lock_guard<std::mutex> hold(world.lock);
      network_failure = false;
      world.fetched.push_back(ids);
      if (!world.known_identifiers.count(ids)) return false;
      for (auto& t : tracks) t.entries.push_back(TDTrackEntry{5, 0, 0, 0});
      return true;
    };
    s.run_album_pass = [&world](const std::vector<TDTrackCheck>& tracks, bool require_two, const XEvent& stop) {
      CountingHost host(world, stop);
      return AlbumPass(host, require_two).run(tracks);
    };
    s.hardware_threads = threads;
    return s;
  }
};

class VerificationRun : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\Lumenvale\\AuralithRunTest-" + std::to_wstring(GetCurrentProcessId());
    set_settings_location(HKEY_CURRENT_USER, key_);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    set_settings_location(HKEY_CURRENT_USER, kSettingsKeyPath);
  }

  // Writes the index of `albums`; the files themselves never exist.
  void write_library(const std::vector<TestAlbum>& albums) {
    LibraryIndexBuilder builder;
    std::int32_t id = 1;
    for (const auto& album : albums) {
      for (const auto& t : album.tracks) {
        IndexedTrack track;
        track.file_id = id++;
        track.path = tmp_.path() + L"music\\" + album.title + L"\\" + std::to_wstring(t.number) + L".flac";
        track.file_stamp = track.second_stamp = 1000 + track.file_id;
        track.track_stamp = 1000 + track.file_id;
        track.properties.items = {{L"Audio Quality", L"Lossless", {}},
                                  {L"Sample Count", std::to_wstring(t.length * 588), {}}};
        track.tags.items = {{L"artist", L"Someone", {}},
                            {L"album", album.title, {}},
                            {L"track", std::to_wstring(t.number) + L"/" + std::to_wstring(t.total), {}}};
        if (!t.extra_tag_name.empty()) track.tags.items.push_back({t.extra_tag_name, t.extra_tag_value, {}});
        world_.lengths[track.path] = t.length;
        builder.add(track);
      }
    }
    ASSERT_TRUE(write_index_files(tmp_.path(), builder.files()));
  }

  static TestAlbum plain_album(const std::wstring& title, int tracks, int first_length) {
    TestAlbum album{title, {}};
    for (int n = 1; n <= tracks; ++n) album.tracks.push_back({n, tracks, first_length + n});
    return album;
  }
  static std::wstring computed_identifier(const TestAlbum& album) {
    std::vector<std::uint64_t> lengths;
    for (const auto& t : album.tracks) lengths.push_back(static_cast<std::uint32_t>(t.length));
    const std::wstring text = compute_disc_identifier(lengths);
    return text.substr(0, text.find(L';'));
  }

  std::wstring key_;
  TempFolder tmp_;
  World world_;
};

XEvent new_stop_event() { return XEvent::adopt(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }
}  // namespace

TEST_F(VerificationRun, LooksUpInBatchesOf99AndNeverCachesComputedIdentifiers) {
  std::vector<TestAlbum> albums;
  for (int n = 0; n < 250; ++n) albums.push_back(plain_album(L"Album " + std::to_wstring(n), 1, 1000 + 3 * n));
  write_library(albums);
  TestRun run(tmp_.path(), world_, 2);
  run.Run(64, new_stop_event());
  EXPECT_EQ(world_.batch_sizes, (std::vector<std::size_t>{99, 99, 52}));
  EXPECT_EQ(run.statuses, 1);
  EXPECT_EQ(run.lists.not_present.size(), 250u);
  EXPECT_EQ(run.grouping.albums[0].message, L"Cannot Check: Not In Tallydisc ");
  EXPECT_EQ(world_.fetched.size(), 250u);  // each with its computed identifier
  EXPECT_EQ(world_.fetched[0], computed_identifier(albums[0]));
  EXPECT_EQ(run.toc_cache.size(), 0u);
  EXPECT_EQ(world_.passes, 0);
}

TEST_F(VerificationRun, WorkersAreLimitedByHardwareThreadsUpToFour) {
  std::vector<TestAlbum> albums;
  for (int n = 0; n < 8; ++n) albums.push_back(plain_album(L"Album " + std::to_wstring(n), 2, 2000 + 5 * n));
  write_library(albums);
  for (const auto& a : albums) world_.known_identifiers.insert(computed_identifier(a));
  world_.pass_ms = 60;
  for (unsigned threads : {2u, 16u}) {
    world_.most_active = 0;
    world_.passes = 0;
    TestRun run(tmp_.path(), world_, threads);
    DeleteFileW(run.result_cache.path().c_str());
    run.result_cache.load();
    run.Run(64, new_stop_event());
    EXPECT_EQ(world_.passes, 8);
    EXPECT_EQ(world_.most_active, threads == 2 ? 2 : 4) << threads;
    EXPECT_EQ(run.lists.accurate.size(), 8u);
    EXPECT_EQ(run.progresses, 8);
  }
}

TEST_F(VerificationRun, SecondRunIsAnsweredFromTheResultCache) {
  std::vector<TestAlbum> albums{plain_album(L"One", 3, 3000), plain_album(L"Two", 2, 4000)};
  write_library(albums);
  for (const auto& a : albums) world_.known_identifiers.insert(computed_identifier(a));
  std::vector<std::wstring> first_lines;
  {
    TestRun run(tmp_.path(), world_, 2);
    run.Run(64, new_stop_event());
    ASSERT_EQ(run.lists.accurate.size(), 2u);
    first_lines = run.grouping.albums[0].lines;
  }
  EXPECT_EQ(world_.passes, 2);
  world_.passes = 0;
  world_.fetched.clear();
  TestRun again(tmp_.path(), world_, 2);
  again.Run(64, new_stop_event());
  EXPECT_EQ(world_.passes, 0);  // nothing decoded
  EXPECT_EQ(again.lists.accurate.size(), 2u);
  EXPECT_EQ(again.grouping.albums[0].lines, first_lines);
}

TEST_F(VerificationRun, GapInTrackNumbersWithoutAnswerIsNotInTheDatabase) {
  // Tracks 1, 2 and 4 that all carry a previous result number.
  TestAlbum album{L"Gappy", {}};
  for (int n : {1, 2, 4})
    album.tracks.push_back({n, 0, 5000 + n, L"TallydiscResult", L"Tallydisc: Accurate (confidence 3)   [0000ABCD]"});
  write_library({album});
  TestRun run(tmp_.path(), world_, 2);
  run.Run(64, new_stop_event());
  ASSERT_EQ(run.grouping.albums.size(), 1u);
  EXPECT_EQ(run.grouping.albums[0].message, L"Cannot Check: Not In Tallydisc ");
  EXPECT_TRUE(run.lists.not_present.contains(0));
  EXPECT_TRUE(world_.fetched.empty());
}

TEST_F(VerificationRun, LongerAnswerForAnAlbumWithAnIdentifierTagIsStillChecked) {
  const std::wstring tag_id = L"012-00001111-00002222-00003333";
  TestAlbum album{L"Ten of Twelve", {}};
  std::vector<std::int32_t> lengths;
  for (int n = 1; n <= 10; ++n) {
    album.tracks.push_back({n, 10, 6000 + 11 * n, L"TallydiscDiscID", tag_id + L"-" + std::to_wstring(n)});
    lengths.push_back(6000 + 11 * n);
  }
  write_library({album});
  std::wstring answer = L"012-99999999-88888888-77777777";
  for (auto l : lengths) answer += L";" + std::to_wstring(l);
  answer += L";7000;7001";
  world_.answers[toc_key(lengths)] = answer;
  world_.known_identifiers.insert(tag_id);
  TestRun run(tmp_.path(), world_, 2);
  run.Run(64, new_stop_event());
  ASSERT_EQ(world_.fetched, std::vector<std::wstring>{tag_id});  // the tag wins over the service
  const AlbumRecord& result = run.grouping.albums[0];
  ASSERT_EQ(result.paths.size(), 12u);
  EXPECT_EQ(std::count(result.paths.begin(), result.paths.end(), L""), 2);
  EXPECT_TRUE(run.lists.accurate.contains(0) || run.lists.with_errors.contains(0));
  EXPECT_EQ(run.toc_cache.size(), 1u);  // the service's answer is cached
}

TEST_F(VerificationRun, StopEventEndsAWaitingPoolAtOnceAndSavesNothing) {
  std::vector<TestAlbum> albums{plain_album(L"A", 2, 7000), plain_album(L"B", 2, 7100), plain_album(L"C", 2, 7200)};
  write_library(albums);
  for (const auto& a : albums) world_.known_identifiers.insert(computed_identifier(a));
  world_.block_until_stopped = true;
  const XEvent stop = new_stop_event();
  std::thread stopper([&] {
    while (world_.active < 2) Sleep(5);
    Sleep(100);
    stop.set();
  });
  TestRun run(tmp_.path(), world_, 2);
  run.discard_cache_changes();
  const ULONGLONG start = GetTickCount64();
  EXPECT_THROW(run.Run(64, stop), exception_user_abort);
  const ULONGLONG took = GetTickCount64() - start;
  stopper.join();
  EXPECT_LT(took, 3000u);
  EXPECT_EQ(world_.active, 0);  // the workers were stopped on the way out
  EXPECT_EQ(GetFileAttributesW(run.result_cache.path().c_str()), INVALID_FILE_ATTRIBUTES);
}
