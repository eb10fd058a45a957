// discid LENGTH...: the disc identifier text of an album's track lengths.

#include "cli/command_registry.h"
#include "cli/console_output.h"
#include "library/number_text.h"
#include "verify/disc_identifier.h"

namespace {
// A track length is held in 32 bits.
constexpr std::uint64_t kMaxLength = 0xFFFFFFFFu;

std::uint64_t parse_length(const std::wstring& text) {
  if (text.empty() || text.size() > 10) throw CliUsageError("a track length is a decimal number of sectors");
  for (wchar_t c : text)
    if (c < L'0' || c > L'9') throw CliUsageError("a track length is a decimal number of sectors");
  const std::uint64_t length = parse_decimal_unsigned(text);
  if (length > kMaxLength) throw CliUsageError("a track length must fit in 32 bits");
  return length;
}

int run_discid(const std::vector<std::wstring>& args) {
  if (args.empty()) throw CliUsageError("discid takes the track lengths in sectors");
  std::vector<std::uint64_t> lengths;
  for (const auto& a : args) lengths.push_back(parse_length(a));
  const std::wstring identifier = compute_disc_identifier(lengths);
  if (identifier.empty()) {
    err_line(L"an album of more than 255 tracks has no disc identifier");
    return kExitFailed;
  }
  out_line(identifier);
  return kExitOk;
}

const CliCommandRegistration registration{
    {L"discid", L"LENGTH...", L"the disc identifier of an album whose tracks last LENGTH sectors each", run_discid}};
}  // namespace
