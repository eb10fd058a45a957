// One album of a lookup batch, owned by the verification run.
#pragma once
#include <cstdint>
#include <string>

struct TDLookupItem {
  std::uint32_t albumIndex = 0;
  std::wstring key;     // table-of-contents key
  std::wstring answer;  // disc identifiers; empty until known
  bool fromCache = false;
};

// Outcome of one lookup exchange: code 0 success, odd codes failures
// (1 the service refused or failed, 3 no usable connection or reply).
struct TDLookupResult {
  std::int32_t code = 0;
  std::wstring message;  // empty on success
  bool failed() const { return (code & 1) != 0; }
};
