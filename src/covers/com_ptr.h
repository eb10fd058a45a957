// XComPtr: owns one reference of a COM interface, released with Release.
#pragma once
#include <unknwn.h>

#include <utility>

template <class T>
class XComPtr {
 public:
  XComPtr() = default;
  ~XComPtr() { reset(); }
  XComPtr(const XComPtr&) = delete;
  XComPtr& operator=(const XComPtr&) = delete;
  XComPtr(XComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  XComPtr& operator=(XComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For calls that hand out a new reference; drops the current one first.
  T** put() {
    reset();
    return &p_;
  }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};
