// Cancellation of network operations from another thread. The owner of a
// long operation installs a signal on its thread for the operation's
// duration (abortSignalScope); another thread calls abort(). Every blocking
// step of the transport checks the current thread's signal.
#pragma once
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace Kx {

class abortSignal {
 public:
  abortSignal() = default;
  abortSignal(const abortSignal&) = delete;
  abortSignal& operator=(const abortSignal&) = delete;

  bool aborted() const { return (state_.load() & kAbortedBit) != 0; }
  // Sets the flag, runs the callbacks once and wakes every waiter. Safe from
  // any thread; later calls do nothing.
  void abort();
  // Runs at once when the signal has already fired.
  void addCallback(std::function<void()> callback);
  // Waits up to `seconds` (negative: no limit); true when the signal fired.
  bool waitFor(double seconds) const;

 private:
  static constexpr unsigned kAbortedBit = 1u;
  std::atomic<unsigned> state_{0};
  mutable std::mutex mutex_;
  mutable std::condition_variable fired_;
  std::vector<std::function<void()>> callbacks_;
};

// The calling thread's signal, or nullptr.
abortSignal* currentAbortSignal();

// Installs a signal on this thread and restores the previous one when it goes.
class abortSignalScope {
 public:
  explicit abortSignalScope(abortSignal& signal);
  ~abortSignalScope();
  abortSignalScope(const abortSignalScope&) = delete;
  abortSignalScope& operator=(const abortSignalScope&) = delete;

 private:
  abortSignal* previous_;
};

// Throws user_abort when the thread's signal is set.
void checkAbort();
// Sleeps `seconds` (rounded to milliseconds; negative: for ever), or until
// the thread's signal fires, which throws user_abort.
void abortableSleep(double seconds);

}  // namespace Kx
