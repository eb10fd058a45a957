// clTallydiscCommon: the verification run over the whole library. It reads
// the index, groups the albums, asks the lookup service for their disc
// identifiers in batches of 99, fetches their database records and checks
// them on up to four idle-priority workers; the verdicts fill the album
// records and the album lists. The main window (and the console front end)
// derives from it to receive the two notifications.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/album_records.h"
#include "library/index_files.h"
#include "shell/xevent.h"
#include "verify/album_lists.h"
#include "verify/check_worker.h"
#include "verify/lookup_item.h"
#include "verify/result_cache.h"
#include "verify/toc_lookup_cache.h"

// The settings a run reads at its start.
struct RunSettings {
  bool quick_path_allowed = true;     // TD-NoQuickLookupBasedOnCRCInTag is 0
  std::uint32_t skip_non_cd_quality = 0;  // TD-SkipNonCDQualityReport
  bool require_two = false;            // TD-ReqTwoOrMore
  std::uint32_t album_defined_by = 0;  // AlbumDefinedBy
};
RunSettings read_run_settings();

// What the run needs from the world outside the engine.
struct VerificationServices {
  // Fills the answer of every item without one that the service knows.
  std::function<TDLookupResult(std::vector<TDLookupItem>& batch)> lookup;
  // Fetches the records of a "#"-joined identifier list (or takes them from
  // the local record cache) and reads them into the tracks' entries.
  std::function<bool(const std::wstring& identifiers, std::vector<TDTrackCheck>& tracks, bool& network_failure)>
      fetch_and_read;
  AlbumPassRunner run_album_pass;
  // Decodes a cover into a square box; absent: albums get no cover.
  std::function<std::shared_ptr<const XPlatformImage>(ByteView, int)> decode_cover;
  // Workers run at once: min(this, 4), at least 1. 0: the machine's count.
  unsigned hardware_threads = 0;
};

// What a run did, for progress reporting and tests.
struct RunCounters {
  int lookup_batches = 0;
  int albums_decoded = 0;   // workers started on an album pass
  int most_workers_busy = 0;  // largest number of album passes at once
};

class clTallydiscCommon {
 public:
  // Albums per lookup request.
  static constexpr std::size_t kBatchSize = 99;
  // Longest wait of the pool loop between looks at its workers.
  static constexpr DWORD kPoolWaitMs = 25;
  // Most album workers at once.
  static constexpr unsigned kMaxWorkers = 4;

  clTallydiscCommon(std::wstring data_folder, VerificationServices services);
  // Saves both caches when they changed.
  virtual ~clTallydiscCommon();

  // Slot 0: once per run, with 0 and "Checking with Tallydisc".
  virtual void status(int percent, const std::wstring& text) = 0;
  // Slot 1: after each album's results were taken over.
  virtual void progress(int percent, const std::shared_ptr<const XPlatformImage>& cover) = 0;

  // Throws exception_user_abort when the stop event is set (the caches are
  // then not saved) and exception_index_corrupted for a damaged index.
  void Run(int thumbnail_size, const XEvent& stop);

  // The caches are then not saved when the engine goes (a cancelled run
  // that the user wants to leave no trace).
  void discard_cache_changes() { save_on_destroy_ = false; }

  // The run's results.
  LibraryIndexTables index;
  AlbumGroupingTables grouping;
  TDAlbumLists lists;
  clsTDResultCache result_cache;
  TDTocLookupCache toc_cache;
  std::vector<std::wstring> ignored_keys;
  RunSettings settings;
  RunCounters counters;

 private:
  using Worker = std::unique_ptr<clsTrdCheckDiscInTD>;

  void check_batch(std::vector<TDLookupItem>& batch, const XEvent& stop);
  void run_pool(std::vector<TDLookupItem>& batch, const XEvent& stop);
  // Sets up the worker of one album; adds it to the pool unless it is idle.
  void set_up_worker(const TDLookupItem& item, std::vector<Worker>& pool);
  void not_in_database(std::size_t album_index, bool network_failure);
  void count_processed(std::size_t album_index);
  unsigned worker_limit() const;

  std::wstring data_folder_;
  VerificationServices services_;
  std::size_t to_check_ = 0;
  std::size_t processed_ = 0;
  bool save_on_destroy_ = true;
};
