// lookup KEY...: asks the disc-ID lookup service for the keys as one batch;
// prints one line per key (its answer, or "no"), the result code and
// message on stderr.
#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "verify/lookup_service.h"

namespace {
int run_lookup(const std::vector<std::wstring>& args) {
  if (args.empty()) throw CliUsageError("at least one key is needed");
  std::vector<TDLookupItem> items;
  for (std::size_t i = 0; i < args.size(); ++i) items.push_back({static_cast<std::uint32_t>(i), args[i], L"", false});

  const TDLookupResult result = lookupDiscIds(items);
  err_line(L"result " + std::to_wstring(result.code) + (result.message.empty() ? L"" : L": " + result.message));
  if (result.failed()) return kExitFailed;
  for (const TDLookupItem& item : items) out_line(item.answer.empty() ? L"no" : item.answer);
  return kExitOk;
}

const CliCommandRegistration registration{
    {L"lookup", L"KEY...", L"ask the disc-ID lookup service for table-of-contents keys (one line per key)",
     run_lookup}};
}  // namespace
