// Sets the shared worker pool's thread count for a test and gives the earlier count back after.
#pragma once

#include "platform/worker_pool.h"

class ScopedWorkerThreads {
 public:
  explicit ScopedWorkerThreads(int threads) : earlier_(WorkerThreads()) { SetWorkerThreads(threads); }
  ~ScopedWorkerThreads() { SetWorkerThreads(earlier_); }
  ScopedWorkerThreads(const ScopedWorkerThreads&) = delete;
  ScopedWorkerThreads& operator=(const ScopedWorkerThreads&) = delete;

 private:
  int earlier_;
};
