#include "tests/support/allocation_log.h"

#include <atomic>
#include <cstdlib>
#include <new>

// operator new(std::size_t) and operator new[](std::size_t) by their linker names, which end in
// the mangled std::size_t: m (unsigned long), or y (unsigned long long) on 64-bit Windows.
#ifdef _WIN64
#define OPERATOR_NEW(prefix, kind) prefix##_Zn##kind##y
#else
#define OPERATOR_NEW(prefix, kind) prefix##_Zn##kind##m
#endif

extern "C" {
void* __real_malloc(std::size_t bytes);
void* __real_calloc(std::size_t count, std::size_t bytes);
void* __real_realloc(void* block, std::size_t bytes);
void __real_free(void* block);
void* OPERATOR_NEW(__real_, w)(std::size_t bytes);
void* OPERATOR_NEW(__real_, a)(std::size_t bytes);
}

namespace {

// Plain storage only: the wrappers run inside the heap calls and must not allocate themselves.
constexpr std::size_t kMaxFrees = 1 << 16;
std::atomic<bool> recording{false};
std::atomic<std::size_t> allocations{0};
std::size_t freeCount = 0;
const void* freed[kMaxFrees];

void CountAllocation() {
  if (recording.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" {
void* __wrap_malloc(std::size_t bytes) {
  CountAllocation();
  return __real_malloc(bytes);
}
void* __wrap_calloc(std::size_t count, std::size_t bytes) {
  CountAllocation();
  return __real_calloc(count, bytes);
}
void* __wrap_realloc(void* block, std::size_t bytes) {
  CountAllocation();
  return __real_realloc(block, bytes);
}
void __wrap_free(void* block) {
  if (recording.load(std::memory_order_relaxed) && freeCount < kMaxFrees) freed[freeCount++] = block;
  __real_free(block);
}
void* OPERATOR_NEW(__wrap_, w)(std::size_t bytes) {
  CountAllocation();
  return OPERATOR_NEW(__real_, w)(bytes);
}
void* OPERATOR_NEW(__wrap_, a)(std::size_t bytes) {
  CountAllocation();
  return OPERATOR_NEW(__real_, a)(bytes);
}
}

namespace allocation_log {

void Start() {
  allocations = 0;
  freeCount = 0;
  recording = true;
}

void Stop() { recording = false; }

std::size_t Allocations() { return allocations; }

std::vector<const void*> Frees() { return std::vector<const void*>(freed, freed + freeCount); }

}  // namespace allocation_log
