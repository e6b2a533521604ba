#include "platform/threads/worker_pool.h"

#include <chrono>
#include <string>
#include <utility>

#include "platform/setting_text.h"

namespace {

// A frame hands the pool a few jobs in quick succession (the stages of each draw), so a thread
// looks for the next job, or the end of the current one, for a little while before it sleeps:
// long enough to bridge the gaps between the draws of a frame (a scene moving its vertices takes
// a tenth of a millisecond), short enough that a frame shown every 16.7 ms keeps a waiting thread
// busy for a few hundredths of its time.
constexpr auto kSpinTime = std::chrono::microseconds(300);

constexpr int kMostThreads = 64;

inline void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// Pauses until `done` holds or the spin time has passed; true when `done` held.
template <class Done>
bool SpinUntil(Done done) {
  const auto end = std::chrono::steady_clock::now() + kSpinTime;
  for (;;) {
    for (int i = 0; i < 32; ++i) {
      if (done()) return true;
      Pause();
    }
    if (std::chrono::steady_clock::now() >= end) return done();
  }
}

std::unique_ptr<WorkerPool>& Shared() {
  static std::unique_ptr<WorkerPool> pool;
  return pool;
}

bool& SharedChosen() {
  static bool chosen = false;
  return chosen;
}

int& PlannedThreads() {
  static int planned = 0;  // 0: one per processor
  return planned;
}

int ProcessorCount() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  return 1;  // a page without shared memory has no threads to give
#else
  const unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : count > kMostThreads ? kMostThreads : static_cast<int>(count);
#endif
}

}  // namespace

WorkerPool::WorkerPool(int threads) {
  // Where the threads library makes a mutex or condition variable on its first use (MinGW's
  // does, on the heap), every one of the pool's is used once here, so that no draw allocates.
  for (auto [mutex, condition] : {std::pair{&mutex_, &wake_}, std::pair{&doneMutex_, &done_}}) {
    std::unique_lock<std::mutex> lock(*mutex);
    condition->wait_for(lock, std::chrono::nanoseconds(0));
    condition->notify_one();
  }
  for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    generation_.fetch_add(1, std::memory_order_release);
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::RunJob(int parts, Call call, void* context) {
  std::uint32_t generation;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = Job{call, context, parts};
    generation = generation_.load(std::memory_order_relaxed) + 1;
    unfinished_.store(parts, std::memory_order_relaxed);
    claim_.store(std::uint64_t{generation} << 32, std::memory_order_relaxed);
    generation_.store(generation, std::memory_order_release);
  }
  wake_.notify_all();
  Work(generation, Job{call, context, parts});
  if (SpinUntil([this] { return unfinished_.load(std::memory_order_acquire) == 0; })) return;
  // Not std::atomic::wait: where the standard library has no futex (MinGW's, for one) it loses
  // wake-ups, and Run would sleep for ever after the last part had returned.
  std::unique_lock<std::mutex> lock(doneMutex_);
  done_.wait(lock, [this] { return unfinished_.load(std::memory_order_acquire) == 0; });
}

void WorkerPool::Work(std::uint32_t generation, const Job& job) {
  std::uint64_t claim = claim_.load(std::memory_order_relaxed);
  for (;;) {
    if (static_cast<std::uint32_t>(claim >> 32) != generation) return;
    const int part = static_cast<int>(claim & 0xFFFFFFFFu);
    if (part >= job.parts) return;
    if (!claim_.compare_exchange_weak(claim, claim + 1, std::memory_order_relaxed)) continue;
    job.call(job.context, part);
    if (unfinished_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      // Taking the mutex orders this wake-up after the caller's last look at the count.
      { std::lock_guard<std::mutex> lock(doneMutex_); }
      done_.notify_one();
    }
    claim = claim_.load(std::memory_order_relaxed);
  }
}

void WorkerPool::WorkerLoop() {
  std::uint32_t seen = 0;
  for (;;) {
    SpinUntil([&] { return generation_.load(std::memory_order_acquire) != seen; });
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return generation_.load(std::memory_order_relaxed) != seen; });
      if (stop_) return;
      seen = generation_.load(std::memory_order_relaxed);
      job = job_;
    }
    Work(seen, job);
  }
}

int ReadWorkerThreads(const char* text, std::vector<std::string>* warnings) {
  if (text == nullptr) return 0;
  std::uint64_t value = 0;
  if (ParseSettingNumber(text, 1, kMostThreads, &value)) return static_cast<int>(value);
  warnings->push_back(IgnoredSetting("KALETH_THREADS", text, "a whole number from 1 to " + std::to_string(kMostThreads),
                                     std::to_string(ProcessorCount())));
  return 0;
}

void PlanWorkerThreads(int threads) { PlannedThreads() = threads; }

WorkerPool* SharedWorkerPool() {
  if (!SharedChosen()) SetWorkerThreads(PlannedThreads() > 0 ? PlannedThreads() : ProcessorCount());
  return Shared().get();
}

int WorkerThreads() {
  const WorkerPool* pool = SharedWorkerPool();
  return pool == nullptr ? 1 : pool->Threads();
}

void SetWorkerThreads(int threads) {
  SharedChosen() = true;
  Shared().reset();
  if (threads > 1) Shared() = std::make_unique<WorkerPool>(threads);
}
