// Sets the shared worker pool's thread count for a test and gives the earlier count back after.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/threads/worker_pool.h"

class ScopedWorkerThreads {
 public:
  explicit ScopedWorkerThreads(int threads) : earlier_(WorkerThreads()) { SetWorkerThreads(threads); }
  ~ScopedWorkerThreads() { SetWorkerThreads(earlier_); }
  ScopedWorkerThreads(const ScopedWorkerThreads&) = delete;
  ScopedWorkerThreads& operator=(const ScopedWorkerThreads&) = delete;

 private:
  int earlier_;
};

// Runs check(threads) with the pool at each of the counts (1: no pool at all).
template <typename Check>
void AtThreadCounts(std::initializer_list<int> counts, Check check) {
  for (int threads : counts) {
    const ScopedWorkerThreads scoped(threads);
    SCOPED_TRACE(::testing::Message() << threads << " thread(s)");
    check(threads);
  }
}

template <typename Check>
void AtEveryThreadCount(Check check) {
  AtThreadCounts({1, 2, 3, 8}, check);
}
