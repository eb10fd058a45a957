#include "verify/disk_preread.h"

#include <vector>

#include "library/win_handles.h"
#include "library/xfile.h"

namespace {
constexpr std::size_t kPrereadPiece = 65536;

// Created when the program starts, before any worker runs; unnamed, so it
// is this process's alone.
const XHandle g_disk_mutex{CreateMutexW(nullptr, FALSE, nullptr)};

class DiskMutexLock {
 public:
  DiskMutexLock() { WaitForSingleObject(g_disk_mutex.get(), INFINITE); }
  ~DiskMutexLock() { ReleaseMutex(g_disk_mutex.get()); }
  DiskMutexLock(const DiskMutexLock&) = delete;
  DiskMutexLock& operator=(const DiskMutexLock&) = delete;
};
}  // namespace

void preread_file_exclusive(const std::wstring& path, const XEvent& abort) {
  DiskMutexLock lock;
  if (abort.is_set()) return;
  XFile file(path);
  file.open(GENERIC_READ, OPEN_EXISTING, true);
  if (!file.is_open()) return;
  std::vector<char> piece(kPrereadPiece);
  // Only the reading matters: it brings the file into the system's cache.
  while (file.read(piece.data(), piece.size()) == piece.size()) {
  }
}
