// The two beat flags the music flips and the scenes read. They are whole 32-bit words, written
// by the sound library's callbacks (possibly from its own thread) and read without locks.
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<std::int32_t> BeatFlagA;  // starts at 1
extern std::atomic<std::int32_t> BeatFlagB;  // starts at 0

// 0 becomes 1, anything else becomes 0. F1 on the main thread and a note on the sound's thread
// can toggle the same flag at once, so the new value replaces exactly the one it was made from:
// a plain load and store would lose one of the two toggles.
inline void ToggleBeatFlag(std::atomic<std::int32_t>& flag) {
  std::int32_t seen = flag.load(std::memory_order_relaxed);
  while (!flag.compare_exchange_weak(seen, seen == 0 ? 1 : 0, std::memory_order_relaxed)) {
  }
}
