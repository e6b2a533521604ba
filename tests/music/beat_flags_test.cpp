// The beat flags are toggled from two threads: F1 on the main thread, notes on the sound's.
#include <gtest/gtest.h>

#include <thread>

#include "music/beat_flags.h"

namespace {

// Two threads toggle one flag an odd number of times between them; a toggle lost to the other
// thread's would leave the flag as it started in about half of the rounds.
TEST(BeatFlags, TogglesFromTwoThreadsAtOnceAreNeverLost) {
  constexpr int kToggles = 200000;
  std::atomic<std::int32_t> flag{1};
  for (int round = 0; round < 8; ++round) {
    const std::int32_t before = flag.load();
    std::atomic<bool> go{false};
    auto toggle = [&](int times) {
      while (!go.load()) {
      }
      for (int i = 0; i < times; ++i) ToggleBeatFlag(flag);
    };
    std::thread first(toggle, kToggles), second(toggle, kToggles + 1);
    go = true;
    first.join();
    second.join();
    EXPECT_EQ(flag.load(), before == 0 ? 1 : 0) << "round " << round;
  }
}

}  // namespace
