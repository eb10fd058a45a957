#include "verify/disc_identifier.h"

#include <cwchar>

namespace {
// A table of contents holds at most 256 offsets: the tracks and the lead-out.
constexpr std::size_t kMaxTableSlots = 256;
// Every disc starts with a 2-second lead-in of 75 sectors a second.
constexpr std::uint32_t kLeadInSectors = 150;
constexpr std::uint32_t kSectorsPerSecond = 75;
constexpr std::uint64_t kBytesPerSector = 2352;
constexpr std::uint64_t kBytesPerSecond = 176400;

std::uint32_t digit_sum(std::uint32_t n) {
  std::uint32_t sum = 0;
  for (; n > 0; n /= 10) sum += n % 10;
  return sum;
}
}  // namespace

std::wstring compute_disc_identifier(const std::vector<std::uint64_t>& track_lengths) {
  const std::size_t count = track_lengths.size();
  if (count + 1 > kMaxTableSlots) return {};

  // The first track starts at 0; no gap and no data track is special.
  std::uint32_t offset = 0;
  std::uint32_t first_sum = 0;
  std::uint32_t second_sum = 0;
  std::uint32_t cddb_digits = 0;
  std::uint32_t cddb_position = kLeadInSectors;
  std::uint64_t total = 0;
  for (std::size_t k = 1; k <= count + 1; ++k) {
    first_sum += offset;
    second_sum += (offset == 0 ? 1u : offset) * static_cast<std::uint32_t>(k);
    if (k > count) break;
    const auto length = static_cast<std::uint32_t>(track_lengths[k - 1]);
    cddb_digits += digit_sum(cddb_position / kSectorsPerSecond);
    cddb_position += length;
    total += length;
    offset += length;
  }
  const auto seconds = static_cast<std::uint32_t>(total * kBytesPerSector / kBytesPerSecond);
  const std::uint32_t cddb = ((cddb_digits % 255) << 24) | (seconds << 8) | static_cast<std::uint32_t>(count);

  wchar_t head[64];
  std::swprintf(head, sizeof head / sizeof head[0], L"%03d-%08x-%08x-%08x", static_cast<int>(count), first_sum,
                second_sum, cddb);
  std::wstring text = head;
  for (std::uint64_t length : track_lengths) text += L';' + std::to_wstring(static_cast<std::uint32_t>(length));
  return text;
}
