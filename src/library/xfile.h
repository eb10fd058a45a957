// XFile: the wrapper through which every file is read and written. Failures
// are returned (invalid handle, short count, false), never shown.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

class XFile {
 public:
  XFile() = default;
  explicit XFile(std::wstring file_path) : path(std::move(file_path)) {}
  ~XFile() { close(); }
  XFile(const XFile&) = delete;
  XFile& operator=(const XFile&) = delete;
  XFile(XFile&& other) noexcept;
  XFile& operator=(XFile&& other) noexcept;

  // Opens `path` (long-path form, limit 260). Does nothing for an empty path.
  // Readers use (GENERIC_READ, OPEN_EXISTING, true).
  void open(DWORD desired_access, DWORD creation_disposition, bool use_share_mode);
  bool is_open() const { return handle != INVALID_HANDLE_VALUE; }

  // Reads up to `count` bytes in calls of at most 2 GiB; returns the bytes
  // read, fewer at end of file or on an error.
  std::uint64_t read(void* buffer, std::uint64_t count);

  enum PositionMode : int { kFromStart = 0, kAppend = 1, kAtCurrent = 2 };
  // True when every byte was written. (nullptr, 0) is true; (nullptr, n>0) false.
  bool write(const void* buffer, std::uint64_t count, int position_mode);

  std::uint64_t size() const;
  // `method` is FILE_BEGIN, FILE_CURRENT or FILE_END; returns the new position.
  std::int64_t seek(std::int64_t distance, DWORD method);
  void close();

  std::wstring path;
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool owns_handle = false;
  DWORD share_mode = FILE_SHARE_READ | FILE_SHARE_WRITE;
};

// Reads a whole file. A file that does not exist gives true and an empty
// buffer; one that exists but cannot be opened or read in full gives false.
bool load_whole_file(const std::wstring& path, std::string& buffer);

// Reads one line from the file's current position (see line_rules.h).
// utf16: 2-byte little-endian units; otherwise bytes converted from UTF-8
// (utf8) or from the ANSI code page. False at end of file with nothing read.
bool read_line(XFile& file, std::wstring& line, bool utf16, bool utf8);

// Narrow text from the ANSI code page.
std::wstring ansi_to_wide(const std::string& text);
