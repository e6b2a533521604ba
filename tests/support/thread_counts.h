// Runs a check with the shared worker pool at several thread counts (1: no pool at all), then
// gives the pool back the count it had.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/worker_pool.h"

template <typename Check>
void AtThreadCounts(std::initializer_list<int> counts, Check check) {
  const int earlier = WorkerThreads();
  for (int threads : counts) {
    SetWorkerThreads(threads);
    SCOPED_TRACE(::testing::Message() << threads << " thread(s)");
    check(threads);
  }
  SetWorkerThreads(earlier);
}

template <typename Check>
void AtEveryThreadCount(Check check) {
  AtThreadCounts({1, 2, 3, 8}, check);
}
