// The pool behind the parallel drawing: every part of a job runs exactly once and before Run
// returns, and jobs follow one another without a part of one running as part of the next.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/threads/worker_pool.h"
#include "tests/support/worker_threads.h"

namespace {

TEST(WorkerPool, EveryPartRunsOnceBeforeRunReturnsJobAfterJob) {
  for (int threads : {1, 2, 3, 8}) {
    WorkerPool pool(threads);
    EXPECT_EQ(pool.Threads(), threads);
    std::vector<int> runs(64);
    for (int job = 0; job < 3000; ++job) {
      const int parts = 1 + job % 64;
      std::fill(runs.begin(), runs.end(), 0);
      // Now and then a part is slow, so that Run has to wait for it.
      auto task = [&](int part) {
        if (job % 600 == 0 && part == parts - 1) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ++runs[part];
      };
      pool.Run(parts, task);
      for (int part = 0; part < 64; ++part) {
        ASSERT_EQ(runs[part], part < parts ? 1 : 0) << threads << " threads, job " << job << ", part " << part;
      }
    }
  }
}

// Parts taken by a worker outlast the caller's spin, so that job after job the caller goes to
// sleep and only the worker's last part wakes it: a lost wake-up freezes the run here, which a
// watchdog turns into a failure rather than a hang.
TEST(WorkerPool, TheCallerAsleepIsWokenByTheLastPartJobAfterJob) {
  for (int threads : {2, 4}) {
    WorkerPool pool(threads);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
      while (!finished && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!finished) {
        std::fprintf(stderr, "the pool of %d threads froze: Run never saw its last part return\n", threads);
        std::abort();
      }
    });
    int sleptOn = 0;
    for (int job = 0; job < 600; ++job) {
      std::atomic<int> onWorkers{0};
      // The caller's part holds back a little for a worker to take one, or the caller, quicker
      // off the mark, would take every part itself.
      auto task = [&](int) {
        if (std::this_thread::get_id() == caller) {
          const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(5);
          while (onWorkers == 0 && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
          return;
        }
        ++onWorkers;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      };
      pool.Run(threads, task);
      sleptOn += onWorkers > 0;
    }
    finished = true;
    watchdog.join();
    // Most jobs must have had a part on a worker, or the test tested nothing.
    EXPECT_GT(sleptOn, 300) << threads << " threads";
  }
}

TEST(WorkerPool, OneThreadMeansNoPoolAndPartsInOrderOnTheCaller) {
  ScopedWorkerThreads one(1);
  EXPECT_EQ(SharedWorkerPool(), nullptr);
  EXPECT_EQ(WorkerThreads(), 1);
  std::vector<int> order;
  std::vector<std::thread::id> ranOn;
  RunParts(5, [&](int part) {
    order.push_back(part);
    ranOn.push_back(std::this_thread::get_id());
  });
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  for (const std::thread::id id : ranOn) EXPECT_EQ(id, std::this_thread::get_id());
  {
    ScopedWorkerThreads four(4);
    ASSERT_NE(SharedWorkerPool(), nullptr);
    EXPECT_EQ(WorkerThreads(), 4);
  }
  EXPECT_EQ(WorkerThreads(), 1);
}

}  // namespace
