// The thread pool's work objects over the shared worker pool. Submitting only counts a call; the
// calls run when the work object is waited for, as one job of the worker pool that the waiting
// thread joins. Closed work objects are kept for the next CreateThreadpoolWork, so a drawing that
// creates, submits, waits for and closes one every frame allocates nothing once warm.
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/faults.h"
#include "platform/windows/win32.h"
#include "platform/threads/worker_pool.h"

struct TP_WORK {
  PTP_WORK_CALLBACK callback = nullptr;
  PVOID context = nullptr;
  std::atomic<ULONG> queued{0};  // submitted calls not yet started
  bool open = false;             // between CreateThreadpoolWork and CloseThreadpoolWork
};

// The thread pool's own calls on a running callback are not provided; the instance only names it.
struct TP_CALLBACK_INSTANCE {};

namespace {

struct WorkObjects {
  std::mutex mutex;
  std::vector<std::unique_ptr<TP_WORK>> all;  // every work object ever made, freed at exit
  std::vector<TP_WORK*> closed;               // ready to be handed out again
};

WorkObjects& Objects() {
  static WorkObjects objects;
  return objects;
}

// The worker pool runs one job at a time, so one waiting thread at a time hands it calls. A
// second waiter finds the calls it waits for already taken, and waits here until they are done.
std::mutex& PoolTurn() {
  static std::mutex turn;
  return turn;
}

// Set while a callback runs on this thread: a wait made from inside a callback runs the calls
// itself, in order, since the pool is busy with the job that called it.
thread_local bool insideCallback = false;

void RunCall(TP_WORK* work) {
  TP_CALLBACK_INSTANCE instance;
  const bool outer = insideCallback;
  insideCallback = true;
  work->callback(&instance, work->context, work);
  insideCallback = outer;
}

// Runs the queued calls, and those they submit, until none is left.
void RunQueued(TP_WORK* work) {
  if (insideCallback) {
    for (ULONG calls = work->queued.load(std::memory_order_acquire); calls != 0;) {
      if (!work->queued.compare_exchange_weak(calls, calls - 1, std::memory_order_acq_rel)) continue;
      RunCall(work);
      calls = work->queued.load(std::memory_order_acquire);
    }
    return;
  }
  std::lock_guard<std::mutex> turn(PoolTurn());
  for (ULONG calls; (calls = work->queued.exchange(0, std::memory_order_acq_rel)) != 0;) {
    while (calls != 0) {
      const int parts = static_cast<int>(std::min<ULONG>(calls, INT_MAX));
      RunParts(parts, [work](int) { RunCall(work); });
      calls -= static_cast<ULONG>(parts);
    }
  }
}

bool Usable(PTP_WORK work, const char* call) {
  if (work != nullptr && work->open) return true;
  std::fprintf(stderr, "%s: %s work object; nothing done\n", call, work == nullptr ? "no" : "a closed");
  return false;
}

}  // namespace

PTP_WORK CreateThreadpoolWork(PTP_WORK_CALLBACK callback, PVOID context, PTP_CALLBACK_ENVIRON environment) {
  if (faults::Hit("CreateThreadpoolWork") || callback == nullptr || environment != nullptr) return nullptr;
  WorkObjects& objects = Objects();
  std::lock_guard<std::mutex> lock(objects.mutex);
  TP_WORK* work;
  if (objects.closed.empty()) {
    objects.all.push_back(std::make_unique<TP_WORK>());
    work = objects.all.back().get();
    objects.closed.reserve(objects.all.size());
  } else {
    work = objects.closed.back();
    objects.closed.pop_back();
  }
  work->callback = callback;
  work->context = context;
  work->queued.store(0, std::memory_order_relaxed);
  work->open = true;
  return work;
}

void SubmitThreadpoolWork(PTP_WORK work) {
  if (Usable(work, "SubmitThreadpoolWork")) work->queued.fetch_add(1, std::memory_order_release);
}

void WaitForThreadpoolWorkCallbacks(PTP_WORK work, BOOL cancelPending) {
  if (!Usable(work, "WaitForThreadpoolWorkCallbacks")) return;
  if (cancelPending && insideCallback) {
    work->queued.store(0, std::memory_order_release);
  } else if (cancelPending) {
    // Calls only start inside a wait, and a wait holds the pool's turn until its calls are done:
    // taking the turn outlasts every call already started.
    std::lock_guard<std::mutex> turn(PoolTurn());
    work->queued.store(0, std::memory_order_release);
  } else {
    RunQueued(work);
  }
}

void CloseThreadpoolWork(PTP_WORK work) {
  if (!Usable(work, "CloseThreadpoolWork")) return;
  RunQueued(work);
  WorkObjects& objects = Objects();
  std::lock_guard<std::mutex> lock(objects.mutex);
  work->open = false;
  objects.closed.push_back(work);
}
