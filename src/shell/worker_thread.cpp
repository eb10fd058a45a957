#include "shell/worker_thread.h"

#include <process.h>

#include <cstdio>
#include <memory>

namespace {
constexpr std::size_t kMaxEventName = 99;

// Handed to the new thread, which frees it. The thread gets its own handle
// to the stop event before it starts, so an owner that gives up waiting (or
// stops before the thread first runs) can never leave it with a different,
// never-signalled event of the same name.
struct StartBlock {
  XEvent stop;
  std::function<void(XEvent)> body;
};

unsigned __stdcall thread_entry(void* p) {
  std::unique_ptr<StartBlock> block(static_cast<StartBlock*>(p));
  try {
    block->body(block->stop);
  } catch (...) {
  }
  return 0;
}
}  // namespace

bool XWorkerThread::start(Body body, void* argument, DWORD stop_timeout_ms) {
  return start([body, argument](XEvent stop) { body(std::move(stop), argument); }, stop_timeout_ms);
}

bool XWorkerThread::start(std::function<void(XEvent)> body, DWORD stop_timeout_ms) {
  stop();
  abandoned_ = false;
  stop_timeout_ms_ = stop_timeout_ms;

  auto block = std::make_unique<StartBlock>();
  for (unsigned long long n = GetTickCount64();; ++n) {
    wchar_t name[kMaxEventName + 1];
    std::swprintf(name, kMaxEventName + 1, L"TRDEVTQ-%llu", n);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
    if (!event) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(event);
      continue;
    }
    stop_event_.reset(event);
    stop_event_name_ = name;
    block->stop = XEvent::duplicate(event);
    break;
  }
  block->body = std::move(body);
  const uintptr_t thread = _beginthreadex(nullptr, 0, thread_entry, block.get(), 0, nullptr);
  if (thread == 0) {
    stop_event_.reset();
    return false;
  }
  block.release();  // the thread frees it
  thread_.reset(reinterpret_cast<HANDLE>(thread));
  return true;
}

void XWorkerThread::stop() {
  if (thread_) {
    SetEvent(stop_event_.get());
    const DWORD wait = stop_timeout_ms_ == 0 ? INFINITE : stop_timeout_ms_;
    if (WaitForSingleObject(thread_.get(), wait) == WAIT_TIMEOUT) abandoned_ = true;
  }
  thread_.reset();
  stop_event_.reset();
}
