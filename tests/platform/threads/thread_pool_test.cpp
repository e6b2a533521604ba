// The thread pool's work objects: every submitted call runs once and has returned when the wait
// does, also the calls a callback submits or waits for (the order at one thread is the row bands'
// test's); cancelling drops what has not started, closing runs it; work objects are reused, and
// misuse is refused rather than followed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/faults.h"
#include "platform/windows/win32.h"
#include "tests/support/allocation_log.h"
#include "tests/support/worker_threads.h"

namespace {

constexpr int kCalls = 64;

struct Counted {
  std::atomic<int> started{0};
  std::atomic<int> finished{0};
  std::atomic<int> perCall[kCalls] = {};
  int resubmit = 0;  // calls the first call submits again
};

void CountCall(PTP_CALLBACK_INSTANCE instance, PVOID context, PTP_WORK work) {
  Counted& counted = *static_cast<Counted*>(context);
  EXPECT_NE(instance, nullptr);
  const int call = counted.started.fetch_add(1);
  if (call == 0) {
    for (int i = 0; i < counted.resubmit; ++i) SubmitThreadpoolWork(work);
  }
  // Long enough that a wait returning early would find calls unfinished.
  std::this_thread::sleep_for(std::chrono::microseconds(call % 3 == 0 ? 300 : 20));
  if (call < kCalls) counted.perCall[call].fetch_add(1);
  counted.finished.fetch_add(1);
}

TEST(ThreadPoolWork, EveryCallRunsOnceAndHasReturnedWhenTheWaitDoes) {
  AtEveryThreadCount([](int) {
    Counted counted;
    counted.resubmit = 10;
    const PTP_WORK work = CreateThreadpoolWork(CountCall, &counted, nullptr);
    ASSERT_NE(work, nullptr);
    for (int i = 0; i < kCalls - 10; ++i) SubmitThreadpoolWork(work);
    EXPECT_EQ(counted.started.load(), 0) << "the calls run when waited for";
    WaitForThreadpoolWorkCallbacks(work, FALSE);
    EXPECT_EQ(counted.finished.load(), kCalls) << "the ten a call submitted are waited for too";
    for (int call = 0; call < kCalls; ++call) EXPECT_EQ(counted.perCall[call].load(), 1) << call;
    WaitForThreadpoolWorkCallbacks(work, FALSE);
    EXPECT_EQ(counted.started.load(), kCalls) << "nothing runs twice";
    CloseThreadpoolWork(work);
  });
}

TEST(ThreadPoolWork, CancellingDropsQueuedCallsAndClosingRunsThem) {
  AtThreadCounts({1, 3}, [](int) {
    Counted counted;
    const PTP_WORK work = CreateThreadpoolWork(CountCall, &counted, nullptr);
    for (int i = 0; i < 7; ++i) SubmitThreadpoolWork(work);
    WaitForThreadpoolWorkCallbacks(work, TRUE);
    WaitForThreadpoolWorkCallbacks(work, FALSE);
    EXPECT_EQ(counted.started.load(), 0);
    for (int i = 0; i < 7; ++i) SubmitThreadpoolWork(work);
    CloseThreadpoolWork(work);
    EXPECT_EQ(counted.finished.load(), 7) << "a close lets what was submitted run first";
  });
}

// Each call waits for three calls of a work object of its own.
void WaitInside(PTP_CALLBACK_INSTANCE, PVOID context, PTP_WORK) {
  Counted& counted = *static_cast<Counted*>(context);
  const PTP_WORK inner = CreateThreadpoolWork(
      [](PTP_CALLBACK_INSTANCE, PVOID context, PTP_WORK) { static_cast<Counted*>(context)->finished.fetch_add(1); },
      &counted, nullptr);
  for (int i = 0; i < 3; ++i) SubmitThreadpoolWork(inner);
  WaitForThreadpoolWorkCallbacks(inner, FALSE);
  counted.perCall[counted.started.fetch_add(1)].store(counted.finished.load() >= 3 ? 1 : 0);
  CloseThreadpoolWork(inner);
}

TEST(ThreadPoolWork, AWaitInsideACallbackRunsItsCallsThere) {
  AtThreadCounts({1, 3}, [](int) {
    Counted counted;
    const PTP_WORK work = CreateThreadpoolWork(WaitInside, &counted, nullptr);
    for (int i = 0; i < 4; ++i) SubmitThreadpoolWork(work);
    WaitForThreadpoolWorkCallbacks(work, FALSE);
    CloseThreadpoolWork(work);
    EXPECT_EQ(counted.finished.load(), 12);
    for (int call = 0; call < 4; ++call) EXPECT_EQ(counted.perCall[call].load(), 1) << call;
  });
}

void Nothing(PTP_CALLBACK_INSTANCE, PVOID, PTP_WORK) {}

TEST(ThreadPoolWork, OnceWarmAWorkObjectPerFrameAllocatesNothing) {
  AtThreadCounts({2}, [](int) {
    auto frame = [] {
      const PTP_WORK work = CreateThreadpoolWork(Nothing, nullptr, nullptr);
      for (int i = 0; i < 18; ++i) SubmitThreadpoolWork(work);
      WaitForThreadpoolWorkCallbacks(work, FALSE);
      CloseThreadpoolWork(work);
    };
    frame();
    allocation_log::Start();
    for (int i = 0; i < 50; ++i) frame();
    allocation_log::Stop();
    EXPECT_EQ(allocation_log::Allocations(), 0u);
  });
}

TEST(ThreadPoolWork, MisuseIsRefusedAndAFailedCreateGivesNoObject) {
  int runs = 0;
  auto counting = [](PTP_CALLBACK_INSTANCE, PVOID context, PTP_WORK) { ++*static_cast<int*>(context); };
  EXPECT_EQ(CreateThreadpoolWork(nullptr, &runs, nullptr), nullptr);
  EXPECT_EQ(CreateThreadpoolWork(counting, &runs, reinterpret_cast<PTP_CALLBACK_ENVIRON>(&runs)), nullptr)
      << "only the default environment exists";
  faults::Fail("CreateThreadpoolWork", faults::Calls("CreateThreadpoolWork") + 1);
  EXPECT_EQ(CreateThreadpoolWork(counting, &runs, nullptr), nullptr);
  faults::Reset();

  SubmitThreadpoolWork(nullptr);
  WaitForThreadpoolWorkCallbacks(nullptr, FALSE);
  CloseThreadpoolWork(nullptr);
  const PTP_WORK work = CreateThreadpoolWork(counting, &runs, nullptr);
  SubmitThreadpoolWork(work);
  CloseThreadpoolWork(work);
  EXPECT_EQ(runs, 1);
  // A closed object takes no more calls and is not released twice.
  SubmitThreadpoolWork(work);
  WaitForThreadpoolWorkCallbacks(work, FALSE);
  CloseThreadpoolWork(work);
  EXPECT_EQ(runs, 1);
  const PTP_WORK first = CreateThreadpoolWork(counting, &runs, nullptr);
  const PTP_WORK second = CreateThreadpoolWork(counting, &runs, nullptr);
  EXPECT_NE(first, second) << "a double close must not hand one object out twice";
  CloseThreadpoolWork(first);
  CloseThreadpoolWork(second);
}

}  // namespace
