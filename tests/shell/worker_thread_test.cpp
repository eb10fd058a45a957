#include "shell/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

TEST(WorkerThread, StopSignalsAndWaitsForTheBody) {
  std::atomic<bool> saw_stop{false};
  XWorkerThread worker;
  ASSERT_TRUE(worker.start(
      [&](XEvent stop) {
        stop.wait(INFINITE);
        Sleep(100);  // still busy after the signal: stop() must wait
        saw_stop = true;
      },
      0));
  EXPECT_EQ(worker.stop_event_name().rfind(L"TRDEVTQ-", 0), 0u);
  worker.stop();
  EXPECT_TRUE(saw_stop);
  EXPECT_FALSE(worker.has_thread());
  EXPECT_FALSE(worker.abandoned());
}

TEST(WorkerThread, NamesAreUniqueEvenWhenTheTickIsTaken) {
  // Occupy the next names; a new worker must step past all of them.
  const ULONGLONG now = GetTickCount64();
  std::vector<XHandle> taken;
  for (ULONGLONG n = now; n < now + 200; ++n)
    taken.emplace_back(CreateEventW(nullptr, TRUE, FALSE, (L"TRDEVTQ-" + std::to_wstring(n)).c_str()));
  XWorkerThread a, b;
  ASSERT_TRUE(a.start([](XEvent stop) { stop.wait(INFINITE); }, 0));
  ASSERT_TRUE(b.start([](XEvent stop) { stop.wait(INFINITE); }, 0));
  const auto number = [](const std::wstring& name) { return std::stoull(name.substr(8)); };
  EXPECT_GE(number(a.stop_event_name()), now + 200);
  EXPECT_NE(a.stop_event_name(), b.stop_event_name());
}

TEST(WorkerThread, StartingAgainStopsTheRunningThreadFirst) {
  std::atomic<int> finished{0};
  XWorkerThread worker;
  auto body = [&](XEvent stop) {
    stop.wait(INFINITE);
    ++finished;
  };
  ASSERT_TRUE(worker.start(body, 0));
  ASSERT_TRUE(worker.start(body, 0));
  EXPECT_EQ(finished, 1);
  worker.stop();
  EXPECT_EQ(finished, 2);
}

TEST(WorkerThread, AnIgnoringBodyIsAbandonedAfterItsTimeout) {
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> done{false};
  XWorkerThread worker;
  ASSERT_TRUE(worker.start(
      [&, release](XEvent stop) {
        WaitForSingleObject(release, INFINITE);  // ignores its stop event
        EXPECT_TRUE(stop.is_set());              // but still sees it set later
        done = true;
      },
      200));
  const ULONGLONG start = GetTickCount64();
  worker.stop();
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 150u);
  EXPECT_LT(took, 2000u);
  EXPECT_TRUE(worker.abandoned());
  EXPECT_FALSE(worker.has_thread());
  // The abandoned body runs on to its end unobserved.
  SetEvent(release);
  for (int i = 0; i < 200 && !done; ++i) Sleep(10);
  EXPECT_TRUE(done);
  CloseHandle(release);
}

TEST(WorkerThread, PlainBodyAndDroppedException) {
  static std::atomic<int> calls{0};
  int argument = 41;
  XWorkerThread worker;
  ASSERT_TRUE(worker.start([](XEvent, void* arg) { calls += *static_cast<int*>(arg) + 1; }, &argument, 0));
  worker.stop();
  EXPECT_EQ(calls, 42);
  ASSERT_TRUE(worker.start([](XEvent) { throw std::runtime_error("dropped"); }, 0));
  worker.stop();
  EXPECT_FALSE(worker.has_thread());
}

TEST(XEvent, DuplicateOutlivesTheOriginal) {
  HANDLE original = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  XEvent copy = XEvent::duplicate(original);
  CloseHandle(original);
  ASSERT_TRUE(copy.valid());
  EXPECT_FALSE(copy.is_set());
  copy.set();
  EXPECT_TRUE(copy.is_set());
  XEvent shared = copy;
  copy = XEvent();
  EXPECT_TRUE(shared.is_set());
}
