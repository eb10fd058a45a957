#include "library/xfile.h"

#include <algorithm>
#include <utility>

#include "library/file_ops.h"
#include "library/line_rules.h"
#include "library/path_rules.h"
#include "library/text_convert.h"

namespace {
// One ReadFile/WriteFile call moves at most this much.
constexpr std::uint64_t kMaxTransfer = 0x80000000ull;
// Chunk for filling a buffer from an open handle.
constexpr std::uint64_t kLoadChunk = 0x40000;
}  // namespace

XFile::XFile(XFile&& other) noexcept
    : path(std::move(other.path)),
      handle(std::exchange(other.handle, INVALID_HANDLE_VALUE)),
      owns_handle(std::exchange(other.owns_handle, false)),
      share_mode(other.share_mode) {}

XFile& XFile::operator=(XFile&& other) noexcept {
  if (this != &other) {
    close();
    path = std::move(other.path);
    handle = std::exchange(other.handle, INVALID_HANDLE_VALUE);
    owns_handle = std::exchange(other.owns_handle, false);
    share_mode = other.share_mode;
  }
  return *this;
}

void XFile::open(DWORD desired_access, DWORD creation_disposition, bool use_share_mode) {
  if (path.empty()) return;
  close();
  owns_handle = true;
  const std::wstring long_path = make_long_path(path, kLongPathLimitFile);
  handle = CreateFileW(long_path.c_str(), desired_access, use_share_mode ? share_mode : 0, nullptr,
                       creation_disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::uint64_t XFile::read(void* buffer, std::uint64_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::uint64_t total = 0;
  while (total < count) {
    const DWORD ask = static_cast<DWORD>(std::min(count - total, kMaxTransfer));
    DWORD got = 0;
    if (!ReadFile(handle, out + total, ask, &got, nullptr)) {
      total += got;
      break;
    }
    total += got;
    if (got < ask) break;  // end of file
  }
  return total;
}

bool XFile::write(const void* buffer, std::uint64_t count, int position_mode) {
  if (buffer == nullptr) return count == 0;
  if (position_mode == kFromStart) {
    if (seek(0, FILE_BEGIN) < 0) return false;
  } else if (position_mode == kAppend) {
    if (seek(0, FILE_END) < 0) return false;
  }
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  std::uint64_t done = 0;
  while (done < count) {
    const DWORD ask = static_cast<DWORD>(std::min(count - done, kMaxTransfer));
    DWORD put = 0;
    if (!WriteFile(handle, in + done, ask, &put, nullptr) || put != ask) return false;
    done += put;
  }
  return true;
}

std::uint64_t XFile::size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::int64_t XFile::seek(std::int64_t distance, DWORD method) {
  LARGE_INTEGER to{};
  to.QuadPart = distance;
  LARGE_INTEGER now{};
  if (!SetFilePointerEx(handle, to, &now, method)) return -1;
  return now.QuadPart;
}

void XFile::close() {
  if (handle != INVALID_HANDLE_VALUE && owns_handle) CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

bool load_whole_file(const std::wstring& path, std::string& buffer) {
  buffer.clear();
  XFile file(path);
  file.open(GENERIC_READ, OPEN_EXISTING, true);
  if (!file.is_open()) return !file_exists(path);
  const std::uint64_t size = file.size();
  if (size >= 0xFFFFFFFFull) return false;
  buffer.resize(static_cast<std::size_t>(size));
  std::uint64_t done = 0;
  while (done < size) {
    const std::uint64_t ask = std::min(size - done, kLoadChunk);
    const std::uint64_t got = file.read(buffer.data() + done, ask);
    done += got;
    if (got != ask) break;
  }
  if (done != size) {
    buffer.clear();
    return false;
  }
  return true;
}

namespace {
// Unit-at-a-time reads from the handle; a unit given back moves the file
// pointer back, so the next reader starts right after the line.
struct FileUtf16Source {
  XFile& file;
  bool next(std::uint16_t& unit) {
    std::uint8_t b[2];
    if (file.read(b, 2) != 2) return false;
    unit = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
  }
  void unread() { file.seek(-2, FILE_CURRENT); }
};
struct FileByteSource {
  XFile& file;
  bool next(std::uint8_t& byte) { return file.read(&byte, 1) == 1; }
  void unread() { file.seek(-1, FILE_CURRENT); }
};
}  // namespace

bool read_line(XFile& file, std::wstring& line, bool utf16, bool utf8) {
  if (utf16) {
    FileUtf16Source source{file};
    std::u16string units;
    const bool got = read_utf16_units_line(source, units);
    line = units_to_wide(units);
    return got;
  }
  FileByteSource source{file};
  std::string bytes;
  const bool got = read_byte_units_line(source, bytes, utf8);
  line = utf8 ? utf8_to_wide(bytes) : ansi_to_wide(bytes);
  return got;
}

std::wstring ansi_to_wide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}
