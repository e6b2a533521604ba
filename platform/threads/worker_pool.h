// Threads that share the drawing of a frame with the thread that draws it. A job is split into
// parts; the calling thread and the workers take parts until none is left, and Run returns once
// every part has returned, so no work of a job outlives the call. Which thread takes which part
// varies from run to run: a part must write only memory no other part of the job touches.
//
// The program shares one pool, started on first use with one thread per processor or with the
// count the machine profile planned from KALETH_THREADS (1: no pool and no other thread at all),
// and joined at exit.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class WorkerPool {
 public:
  // Starts threads - 1 workers; the caller of Run is the last thread.
  explicit WorkerPool(int threads);
  // Joins the workers. Never called while a Run is in progress.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int Threads() const { return static_cast<int>(workers_.size()) + 1; }

  // Calls task(part) once for every part in [0, parts) and returns when all have returned.
  template <class Task>
  void Run(int parts, Task& task) {
    RunJob(parts, [](void* context, int part) { (*static_cast<Task*>(context))(part); }, &task);
  }

 private:
  using Call = void (*)(void* context, int part);
  struct Job {
    Call call = nullptr;
    void* context = nullptr;
    int parts = 0;
  };

  void RunJob(int parts, Call call, void* context);
  void Work(std::uint32_t generation, const Job& job);
  void WorkerLoop();

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  Job job_;                 // the newest job; written under the mutex
  bool stop_ = false;       // under the mutex
  std::atomic<std::uint32_t> generation_{0};  // counts jobs; changes under the mutex
  // The generation in the high half and the next unclaimed part in the low half, so that a
  // worker still holding an older job can never claim a part of a newer one.
  std::atomic<std::uint64_t> claim_{0};
  std::atomic<int> unfinished_{0};  // parts of the current job not yet returned
  // Where the caller sleeps once it has spun for the last parts in vain.
  std::mutex doneMutex_;
  std::condition_variable done_;
};

// The shared pool, or null when the program draws on one thread.
WorkerPool* SharedWorkerPool();

// The shared pool's thread count, 1 without a pool.
int WorkerThreads();

// Replaces the shared pool with one of `threads` threads (1: none), for the tests and the bench.
// Only between draws.
void SetWorkerThreads(int threads);

// The thread count this value of KALETH_THREADS asks for, or 0 (one per processor) when it is
// unset or cannot be used (which adds its line to `warnings`).
int ReadWorkerThreads(const char* text, std::vector<std::string>* warnings);

// The size the shared pool starts at on first use (0: one thread per processor).
void PlanWorkerThreads(int threads);

// Runs task(part) for every part in [0, parts): on the shared pool when there is one and more
// than one part, else in order on the calling thread.
template <class Task>
void RunParts(int parts, Task&& task) {
  WorkerPool* pool = SharedWorkerPool();
  if (pool != nullptr && parts > 1) {
    pool->Run(parts, task);
  } else {
    for (int part = 0; part < parts; ++part) task(part);
  }
}
