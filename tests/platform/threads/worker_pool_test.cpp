// The pool behind the parallel drawing: every part of a job runs exactly once and before Run
// returns, and jobs follow one another without a part of one running as part of the next.
#include <gtest/gtest.h>

#include <chrono>
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
