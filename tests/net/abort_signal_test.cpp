// The abort signal: cross-thread cancellation of waits and sleeps.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/abort_signal.h"
#include "net/net_errors.h"

namespace {

using clock_type = std::chrono::steady_clock;

TEST(AbortSignal, CallbacksRunOnceAndLateOnesAtOnce) {
  Kx::abortSignal signal;
  int runs = 0;
  signal.addCallback([&] { ++runs; });
  signal.abort();
  signal.abort();
  EXPECT_EQ(runs, 1);
  signal.addCallback([&] { runs += 10; });
  EXPECT_EQ(runs, 11);
  EXPECT_TRUE(signal.aborted());
}

TEST(AbortSignal, ScopeInstallsAndRestores) {
  Kx::abortSignal outer, inner;
  EXPECT_EQ(Kx::currentAbortSignal(), nullptr);
  {
    Kx::abortSignalScope a(outer);
    {
      Kx::abortSignalScope b(inner);
      EXPECT_EQ(Kx::currentAbortSignal(), &inner);
      inner.abort();
      EXPECT_THROW(Kx::checkAbort(), Kx::user_abort);
    }
    EXPECT_EQ(Kx::currentAbortSignal(), &outer);
    EXPECT_NO_THROW(Kx::checkAbort());
  }
  EXPECT_EQ(Kx::currentAbortSignal(), nullptr);
}

TEST(AbortSignal, SleepEndsWithUserAbortWhenAnotherThreadFires) {
  Kx::abortSignal signal;
  Kx::abortSignalScope scope(signal);
  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    signal.abort();
  });
  const auto start = clock_type::now();
  EXPECT_THROW(Kx::abortableSleep(30.0), Kx::user_abort);
  other.join();
  EXPECT_LT(clock_type::now() - start, std::chrono::seconds(5));
}

TEST(AbortSignal, SleepWithoutSignalOrWithAQuietOneSleeps) {
  const auto start = clock_type::now();
  Kx::abortableSleep(0.02);
  Kx::abortSignal quiet;
  Kx::abortSignalScope scope(quiet);
  Kx::abortableSleep(0.02);
  EXPECT_GE(clock_type::now() - start, std::chrono::milliseconds(40));
}

}  // namespace
