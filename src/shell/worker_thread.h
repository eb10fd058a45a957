// XWorkerThread: owns one worker thread and its uniquely named, manual-reset
// stop event. Cancellation is cooperative: stop() sets the event and waits a
// bounded time for the body to return.
//
// A body that has not returned within the stop time-out is abandoned: its
// handles are closed and nothing waits for it again. It is deliberately not
// suspended: a suspended thread may hold the heap lock, the disk mutex or a
// cache lock, and would freeze the whole process the next time anyone takes
// it. The abandoned body keeps its own handle to the stop event (which stays
// set) and runs to its end unobserved.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "library/win_handles.h"
#include "shell/xevent.h"

class XWorkerThread {
 public:
  using Body = void (*)(XEvent stop_event, void* argument);

  XWorkerThread() = default;
  ~XWorkerThread() { stop(); }
  XWorkerThread(const XWorkerThread&) = delete;
  XWorkerThread& operator=(const XWorkerThread&) = delete;

  // Stops a thread this object still runs, then starts `body` on a new
  // thread. `stop_timeout_ms` 0 makes stop() wait without limit. False when
  // no thread could be started (the body then never runs).
  bool start(Body body, void* argument, DWORD stop_timeout_ms);
  // The function object runs on the new thread; exceptions it throws are
  // dropped there.
  bool start(std::function<void(XEvent)> body, DWORD stop_timeout_ms);

  // Sets the stop event and waits for the thread (see above).
  void stop();

  // A thread was started and has not been collected by stop() or start().
  bool has_thread() const { return thread_.valid(); }
  // The thread is still running.
  bool running() const { return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT; }
  // Set when the last stop() gave up waiting.
  bool abandoned() const { return abandoned_; }
  // "TRDEVTQ-<n>" of the current or last thread.
  const std::wstring& stop_event_name() const { return stop_event_name_; }
  HANDLE stop_event() const { return stop_event_.get(); }

 private:
  XHandle stop_event_;
  XHandle thread_;
  std::wstring stop_event_name_;
  bool abandoned_ = false;
  DWORD stop_timeout_ms_ = 0;
};
