// Fetching rip database records into the local record cache: a cached copy
// younger than five days is used as it is; otherwise the record is
// downloaded over plain HTTP/1.0, one connection per identifier, from the
// built-in server or the one TD-DatabaseServer names.
#pragma once
#include <string>
#include <vector>

#include "verify/track_check.h"

enum class RecordFetchOutcome {
  kFresh,       // a fresh cached copy, no traffic
  kDownloaded,  // status 200: the cache file holds the new body
  kAbsent,      // another status (404): nothing written
  kFailed,      // network failure, truncated or oversized reply: nothing written
  kInvalid,     // not a disc identifier: skipped without disk or network
};

struct RecordFetchItem {
  std::wstring identifier;
  std::wstring cache_path;  // empty for an invalid identifier
  RecordFetchOutcome outcome = RecordFetchOutcome::kInvalid;
};

// Every identifier of the "#"-joined list, in order.
std::vector<RecordFetchItem> fetch_record_items(const std::wstring& identifier_list);

// True when some record is available (fresh or downloaded). Every valid
// identifier's cache path is appended, whether or not its file exists.
// `network_failure` is set when some download failed on the network.
bool fetch_records(const std::wstring& identifier_list, bool& network_failure,
                   std::vector<std::wstring>& cache_paths);

// fetch_records, then, when it found a record, reads every cache file (a
// missing one adds nothing) into the tracks' entry lists.
bool fetch_and_read_records(const std::wstring& identifier_list, std::vector<TDTrackCheck>& tracks,
                            bool& network_failure);
