#include "net/abort_signal.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "net/net_errors.h"

namespace Kx {

namespace {
thread_local abortSignal* g_current = nullptr;

std::chrono::milliseconds toMilliseconds(double seconds) {
  return std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000.0)));
}
}  // namespace

void abortSignal::abort() {
  std::vector<std::function<void()>> toRun;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_.fetch_or(kAbortedBit) & kAbortedBit) return;
    toRun.swap(callbacks_);
  }
  fired_.notify_all();
  for (auto& callback : toRun) callback();
}

void abortSignal::addCallback(std::function<void()> callback) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!aborted()) {
      callbacks_.push_back(std::move(callback));
      return;
    }
  }
  callback();
}

bool abortSignal::waitFor(double seconds) const {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto fired = [this] { return aborted(); };
  if (seconds < 0) {
    fired_.wait(lock, fired);
    return true;
  }
  return fired_.wait_for(lock, toMilliseconds(seconds), fired);
}

abortSignal* currentAbortSignal() { return g_current; }

abortSignalScope::abortSignalScope(abortSignal& signal) : previous_(g_current) { g_current = &signal; }

abortSignalScope::~abortSignalScope() { g_current = previous_; }

void checkAbort() {
  if (g_current && g_current->aborted()) throw user_abort();
}

void abortableSleep(double seconds) {
  abortSignal* signal = g_current;
  if (!signal) {
    if (seconds < 0) {
      for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(toMilliseconds(seconds));
    return;
  }
  if (signal->waitFor(seconds)) throw user_abort();
}

}  // namespace Kx
