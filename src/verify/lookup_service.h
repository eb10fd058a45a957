// The disc-ID lookup client: asks one of the suite's lookup servers for the
// disc identifiers of a batch of albums in one POST and writes the answers
// into the batch.
#pragma once
#include <vector>

#include "verify/lookup_item.h"

// Sends the keys of the items without answer (at most 99 per batch) and
// fills in the answers the service knows. Never throws: every failure is a
// result code with its message, and a failure changes no item. A batch in
// which every item is answered succeeds without any traffic. The
// TD-LookupServer setting, when present, replaces the built-in servers.
TDLookupResult lookupDiscIds(std::vector<TDLookupItem>& items);
