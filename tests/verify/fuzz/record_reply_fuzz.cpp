// Fuzz target for the record reply parse: any bytes, parsed from an exact-
// size heap copy so that a read past the end is caught by AddressSanitizer;
// the results must describe the input consistently.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "verify/record_fetch_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size ? size : 1]);
  if (size) std::memcpy(copy.get(), data, size);
  const RecordReply reply = parse_record_reply(copy.get(), size);
  if (reply.has_header_end && reply.body_offset + reply.body_length != size) std::abort();
  if (!reply.has_header_end && (reply.body_offset != 0 || reply.body_length != 0)) std::abort();
  if (reply.status_text.size() > size) std::abort();
  if (reply.status < 0) std::abort();
  judge_record_reply(reply);
  return 0;
}
