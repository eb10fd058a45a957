// Reading the database record files of an album into its tracks' entries.
#pragma once
#include <string>
#include <vector>

#include "verify/track_check.h"

// Every file in order (its index is the entries' source); a missing,
// unreadable or truncated file adds what it holds before its end and
// nothing else. See record_reader.h for the layout.
void read_record_files(const std::vector<std::wstring>& paths, std::vector<TDTrackCheck>& tracks);
