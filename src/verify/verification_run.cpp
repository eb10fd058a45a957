#include "verify/verification_run.h"

#include <windows.h>

#include <algorithm>
#include <thread>

#include "library/album_grouping.h"
#include "library/exceptions.h"
#include "shell/settings_store.h"
#include "verify/cache_lines.h"
#include "verify/disc_identifier.h"
#include "verify/eligibility.h"
#include "verify/harvest.h"
#include "verify/ignored_albums.h"
#include "verify/quick_paths.h"
#include "verify/toc_key.h"

namespace {
constexpr wchar_t kCheckingText[] = L"Checking with Tallydisc";
constexpr wchar_t kUnableToMatchLengths[] = L"Cannot Check: Unable to Match Track Lengths";
constexpr wchar_t kNotLossless[] = L"Cannot Check: Not Lossless CD Quality";
constexpr wchar_t kDifferentLength[] = L"Cannot Check: Track Different Length Than CD Original";
constexpr wchar_t kIncomplete[] = L"Cannot Check: Incomplete Album";
constexpr wchar_t kUnableToConnect[] = L"Cannot Check: Unable to Connect to Tallydisc";
constexpr wchar_t kNotInDatabase[] = L"Cannot Check: Not In Tallydisc ";

std::wstring in_folder(const std::wstring& folder, const wchar_t* name) {
  return (folder.empty() || folder.back() == L'\\' ? folder : folder + L"\\") + name;
}

void throw_if_stopped(const XEvent& stop) {
  if (stop.is_set()) throw exception_user_abort();
}

std::vector<std::wstring> split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
    if (at == std::wstring::npos) return parts;
    start = at + 1;
  }
}
}  // namespace

RunSettings read_run_settings() {
  RunSettings s;
  s.quick_path_allowed = read_setting_dword(setting::kNoQuickLookupBasedOnCRCInTag) == 0;
  s.skip_non_cd_quality = read_setting_dword(setting::kSkipNonCDQualityReport);
  s.require_two = read_setting_dword(setting::kReqTwoOrMore) != 0;
  s.album_defined_by = read_setting_dword(setting::kAlbumDefinedBy);
  return s;
}

clTallydiscCommon::clTallydiscCommon(std::wstring data_folder, VerificationServices services)
    : result_cache(in_folder(data_folder, kResultCacheFileName)),
      toc_cache(in_folder(data_folder, kTocLookupFileName)),
      data_folder_(std::move(data_folder)),
      services_(std::move(services)) {}

clTallydiscCommon::~clTallydiscCommon() {
  if (!save_on_destroy_) return;
  result_cache.save();
  toc_cache.save();
}

unsigned clTallydiscCommon::worker_limit() const {
  const unsigned threads = services_.hardware_threads ? services_.hardware_threads : std::thread::hardware_concurrency();
  return std::clamp(threads, 1u, kMaxWorkers);
}

void clTallydiscCommon::Run(int thumbnail_size, const XEvent& stop) {
  // Run start: fresh results, settings and caches.
  grouping = AlbumGroupingTables();
  lists = TDAlbumLists();
  counters = RunCounters();
  processed_ = 0;
  settings = read_run_settings();
  ignored_keys = read_ignored_albums(in_folder(data_folder_, kIgnoredAlbumsFileName));
  result_cache.load();
  toc_cache.load();

  index = LibraryIndexTables();
  read_library_index(data_folder_, index);
  {
    const MappedIndexFiles mapped(data_folder_);
    const GroupingInput input{index.file_names, index.file_index, index.art_index, mapped.inf_props_n_tags(),
                              mapped.album_arts()};
    GroupingOptions options;
    options.album_defined_by = settings.album_defined_by;
    options.skip_non_cd_quality = settings.skip_non_cd_quality;
    options.thumbnail_size = thumbnail_size;
    GroupingHooks hooks;
    hooks.cancelled = [&] { return stop.is_set(); };
    hooks.decode_cover = services_.decode_cover;
    group_albums(input, options, hooks, grouping);
  }
  throw_if_stopped(stop);

  const std::vector<std::size_t> to_check = check_eligibility(
      grouping.albums, ignored_keys, settings.quick_path_allowed, [&] { return stop.is_set(); }, lists);
  throw_if_stopped(stop);
  to_check_ = to_check.size();
  status(0, kCheckingText);

  std::vector<TDLookupItem> batch;
  for (std::size_t n = 0; n < to_check.size(); ++n) {
    throw_if_stopped(stop);
    const AlbumRecord& album = grouping.albums[to_check[n]];
    std::vector<std::int32_t> lengths;
    for (const auto& t : album.tracks) lengths.push_back(t.length_sectors);
    TDLookupItem item;
    item.albumIndex = static_cast<std::uint32_t>(to_check[n]);
    item.key = toc_key(lengths);
    batch.push_back(std::move(item));
    if (batch.size() == kBatchSize || n + 1 == to_check.size()) {
      check_batch(batch, stop);
      batch.clear();
    }
  }

  result_cache.save();
  toc_cache.save();
}

void clTallydiscCommon::check_batch(std::vector<TDLookupItem>& batch, const XEvent& stop) {
  ++counters.lookup_batches;
  for (auto& item : batch) {
    const std::int32_t at = toc_cache.find(item.key);
    if (at >= 0) {
      item.answer = toc_cache.answer(at);
      item.fromCache = true;
    }
  }
  TDLookupResult result;
  if (services_.lookup) result = services_.lookup(batch);
  for (const auto& item : batch)
    if (!item.fromCache && !item.answer.empty()) toc_cache.add(item.key, item.answer);

  if (result.failed()) {
    for (const auto& item : batch) {
      AlbumRecord& album = grouping.albums[item.albumIndex];
      album.message = result.message;
      lists.cannot_check.add_once(item.albumIndex);
      count_processed(item.albumIndex);
    }
    return;
  }
  run_pool(batch, stop);
}

void clTallydiscCommon::run_pool(std::vector<TDLookupItem>& batch, const XEvent& stop) {
  const unsigned limit = worker_limit();
  std::vector<Worker> pool;
  std::size_t next = 0;
  for (;;) {
    // Workers left in the pool when the run is stopped are destroyed on the
    // way out: each gets its stop event and up to 5 s to end.
    throw_if_stopped(stop);
    for (std::size_t i = pool.size(); i-- > 0;) {
      clsTrdCheckDiscInTD& worker = *pool[i];
      if (!worker.check.finished || !worker.check.has_results) continue;
      AlbumRecord& album = grouping.albums[worker.album_index];
      harvest(worker.check, worker.album_index, album, lists);
      count_processed(worker.album_index);
      pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (next == batch.size() && pool.empty()) return;
    if (pool.size() < limit && next < batch.size()) {
      set_up_worker(batch[next++], pool);
      continue;
    }
    stop.wait(kPoolWaitMs);
  }
}

void clTallydiscCommon::set_up_worker(const TDLookupItem& item, std::vector<Worker>& pool) {
  const std::size_t at = item.albumIndex;
  AlbumRecord& album = grouping.albums[at];
  auto worker = std::make_unique<clsTrdCheckDiscInTD>(at, album);
  std::wstring answer = item.answer;
  bool computed_here = false;

  if (answer.empty()) {
    std::vector<VerificationTrackEntry> entries;
    if (build_track_list_by_number(album, index.file_names, entries)) {
      worker->check.tracks = tracks_from_entries(entries);
      std::vector<std::uint64_t> lengths;
      for (const auto& e : entries) lengths.push_back(static_cast<std::uint32_t>(e.length));
      answer = compute_disc_identifier(lengths);
      computed_here = !answer.empty();
    }
  }
  if (answer.empty() && album.disc_id.empty()) {
    not_in_database(at, false);
    return;
  }

  const std::vector<std::wstring> parts = split(answer, L';');
  std::wstring identifiers = parts[0];
  if (!computed_here) {
    const std::vector<std::wstring> lengths(parts.begin() + 1, parts.end());
    std::vector<VerificationTrackEntry> entries;
    const bool matched = build_track_list_by_toc(album, index.file_names, album.disc_id, lengths, entries);
    worker->check.tracks = tracks_from_entries(entries);
    if (!matched && album.disc_id.empty()) {
      album.message = kUnableToMatchLengths;
      lists.cannot_check.add_once(at);
      return;
    }
  }
  // An identifier from the album's own tags wins over the service's.
  if (album.disc_id.empty()) album.disc_id = identifiers;
  else identifiers = album.disc_id;

  if (!result_cache_path(worker->check, result_cache)) {
    bool network_failure = false;
    if (identifiers.empty() || !services_.fetch_and_read ||
        !services_.fetch_and_read(identifiers, worker->check.tracks, network_failure)) {
      not_in_database(at, network_failure);
    } else {
      worker->identifiers = identifiers;
      if (tag_checksum_path(album, worker->check, settings.require_two, result_cache)) {
        worker->check.idle = false;
      } else if (!album.lossless) {
        if (album.message.empty()) album.message = kNotLossless;
      } else if (album.complete && album.lengths_match) {
        if (worker->StartProcess(result_cache, settings.require_two, services_.run_album_pass)) {
          ++counters.albums_decoded;
          counters.most_workers_busy = std::max(counters.most_workers_busy, static_cast<int>(pool.size()) + 1);
        }
      } else {
        if (album.message.empty() && !album.lengths_match) album.message = kDifferentLength;
        if (album.message.empty() && !album.complete) album.message = kIncomplete;
      }
    }
  }
  if (!worker->check.idle) pool.push_back(std::move(worker));
}

void clTallydiscCommon::not_in_database(std::size_t album_index, bool network_failure) {
  count_processed(album_index);
  lists.not_present.add_once(album_index);
  grouping.albums[album_index].message = network_failure ? kUnableToConnect : kNotInDatabase;
}

void clTallydiscCommon::count_processed(std::size_t album_index) {
  ++processed_;
  const std::size_t total = std::max<std::size_t>(to_check_, 1);
  const int percent = static_cast<int>(std::min<std::size_t>(processed_ * 100 / total, 100));
  progress(percent, grouping.albums[album_index].cover);
}
