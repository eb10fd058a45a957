// XEvent: a shared holder of one event handle; the handle is closed when the
// last holder goes. A holder made from a borrowed handle owns a duplicate.
#pragma once
#include <windows.h>

#include <memory>

#include "library/win_handles.h"

class XEvent {
 public:
  XEvent() = default;
  // Takes ownership of `owned`.
  static XEvent adopt(HANDLE owned);
  // Duplicates `borrowed` with the same access; the caller keeps its handle.
  static XEvent duplicate(HANDLE borrowed);

  HANDLE get() const { return handle_ ? handle_->get() : nullptr; }
  bool valid() const { return get() != nullptr; }
  bool is_set() const { return valid() && WaitForSingleObject(get(), 0) == WAIT_OBJECT_0; }
  // Waits up to `ms`; true when the event is signalled.
  bool wait(DWORD ms) const { return valid() && WaitForSingleObject(get(), ms) == WAIT_OBJECT_0; }
  void set() const { if (valid()) SetEvent(get()); }
  void reset() const { if (valid()) ResetEvent(get()); }

 private:
  std::shared_ptr<XHandle> handle_;
};
