// Move-only owners of Windows handles, each with its matching release call.
#pragma once
#include <windows.h>

#include <utility>

template <class H, class Traits>
class XUniqueHandle {
 public:
  XUniqueHandle() = default;
  explicit XUniqueHandle(H h) : h_(h) {}
  ~XUniqueHandle() { reset(); }
  XUniqueHandle(const XUniqueHandle&) = delete;
  XUniqueHandle& operator=(const XUniqueHandle&) = delete;
  XUniqueHandle(XUniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
  XUniqueHandle& operator=(XUniqueHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Traits::invalid()));
    return *this;
  }
  H get() const { return h_; }
  bool valid() const { return h_ != Traits::invalid(); }
  explicit operator bool() const { return valid(); }
  H release() { return std::exchange(h_, Traits::invalid()); }
  void reset(H h = Traits::invalid()) {
    if (valid()) Traits::close(h_);
    h_ = h;
  }

 private:
  H h_ = Traits::invalid();
};

struct XKernelHandleTraits {  // events, threads, processes, mappings, mutexes
  static HANDLE invalid() { return nullptr; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct XFileHandleTraits {  // CreateFileW results
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct XFindHandleTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { FindClose(h); }
};
struct XRegKeyTraits {
  static HKEY invalid() { return nullptr; }
  static void close(HKEY h) { RegCloseKey(h); }
};
struct XModuleTraits {
  static HMODULE invalid() { return nullptr; }
  static void close(HMODULE h) { FreeLibrary(h); }
};

using XHandle = XUniqueHandle<HANDLE, XKernelHandleTraits>;
using XFileHandle = XUniqueHandle<HANDLE, XFileHandleTraits>;
using XFindHandle = XUniqueHandle<HANDLE, XFindHandleTraits>;
using XRegKey = XUniqueHandle<HKEY, XRegKeyTraits>;
using XModule = XUniqueHandle<HMODULE, XModuleTraits>;

// A mapped view, released with UnmapViewOfFile.
class XMappedView {
 public:
  XMappedView() = default;
  explicit XMappedView(const void* p) : p_(p) {}
  ~XMappedView() { reset(); }
  XMappedView(const XMappedView&) = delete;
  XMappedView& operator=(const XMappedView&) = delete;
  XMappedView(XMappedView&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  XMappedView& operator=(XMappedView&& o) noexcept {
    if (this != &o) { reset(); p_ = std::exchange(o.p_, nullptr); }
    return *this;
  }
  const void* get() const { return p_; }
  void reset() {
    if (p_) UnmapViewOfFile(p_);
    p_ = nullptr;
  }

 private:
  const void* p_ = nullptr;
};
