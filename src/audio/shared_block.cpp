#include "audio/shared_block.h"

namespace {
constexpr DWORD kBlockSize = 4;
}

XSharedBlock::Hold::Hold(XSharedBlock& block) : block_(block) {
  if (block_.mutex_held_ || !block_.mutex_) return;
  const DWORD r = WaitForSingleObject(block_.mutex_.get(), INFINITE);
  // An abandoned mutex is still ours: the other side died while holding it.
  if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
    block_.mutex_held_ = true;
    took_ = true;
  }
}

XSharedBlock::Hold::~Hold() {
  if (took_) {
    block_.mutex_held_ = false;
    ReleaseMutex(block_.mutex_.get());
  }
}

bool XSharedBlock::open(const std::wstring& name) {
  close();
  mutex_.reset(CreateMutexW(nullptr, FALSE, (L"SMutex_" + name).c_str()));
  mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize,
                                    (L"NSharedData_" + name).c_str()));
  if (mapping_) view_ = static_cast<std::uint32_t*>(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, kBlockSize));
  return view_ != nullptr;
}

std::uint32_t XSharedBlock::read() {
  if (!view_) return local_;
  Hold hold(*this);
  local_ = *view_;
  return local_;
}

void XSharedBlock::write(std::uint32_t value) {
  local_ = value;
  if (!view_) return;
  Hold hold(*this);
  *view_ = local_;
}

void XSharedBlock::close() {
  if (view_) UnmapViewOfFile(view_);
  view_ = nullptr;
  mapping_.reset();
  if (mutex_held_ && mutex_) ReleaseMutex(mutex_.get());
  mutex_held_ = false;
  mutex_.reset();
}
