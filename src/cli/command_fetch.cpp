// tallydisc-cli fetch ID...: brings the rip database record of each disc
// identifier into the local record cache (or finds it fresh there) and
// prints one line per identifier: the cache path and what happened.
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "library/text_convert.h"
#include "verify/record_fetch.h"
#include "verify/record_fetch_rules.h"

namespace {

const wchar_t* outcome_word(RecordFetchOutcome outcome) {
  switch (outcome) {
    case RecordFetchOutcome::kFresh:
      return L"fresh";
    case RecordFetchOutcome::kDownloaded:
      return L"downloaded";
    case RecordFetchOutcome::kAbsent:
      return L"absent";
    case RecordFetchOutcome::kFailed:
    case RecordFetchOutcome::kInvalid:
      break;
  }
  return L"failed";
}

int run_fetch(const std::vector<std::wstring>& args) {
  if (args.empty()) throw CliUsageError("fetch needs at least one disc identifier");
  std::wstring list;
  for (const std::wstring& identifier : args) {
    if (!is_valid_disc_identifier(identifier))
      throw CliUsageError("not a disc identifier (DDD-XXXXXXXX-XXXXXXXX-XXXXXXXX): " +
                          wide_to_utf8(identifier));
    if (!list.empty()) list += L'#';
    list += identifier;
  }
  for (const RecordFetchItem& item : fetch_record_items(list))
    out_line(item.cache_path + L" " + outcome_word(item.outcome));
  return kExitOk;
}

const CliCommandRegistration registration({L"fetch", L"ID...",
                                           L"fetch the database records of disc identifiers into the record cache",
                                           run_fetch});

}  // namespace
