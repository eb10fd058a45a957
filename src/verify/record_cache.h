// The local cache of rip database records: one file per disc identifier in
// "<application data>\Tallydisc\TallydiscCache\", holding the reply body
// exactly as received.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// With a trailing backslash.
std::wstring record_cache_folder();
// The cache file of a valid identifier (any case; the name is lower case).
std::wstring record_cache_path(const std::wstring& identifier);

// A cached copy is fresh for five days after it was last written.
inline constexpr std::uint64_t kRecordFreshness100ns = 4'320'000'000'000ull;

// True when the file exists and was last written within the freshness
// window before now (UTC).
bool is_record_cache_file_fresh(const std::wstring& path);

// Replaces the cache file with `body`; the old file stays whole until the
// new one is complete. False when it could not be written.
bool store_record_cache_file(const std::wstring& path, const std::uint8_t* body, std::size_t length);
