// The pacing of presents on a stand-in clock: a frame costs what the test says, a sleep moves the
// clock, and a renderer that syncs holds each present until the next refresh.
#include "platform/backends/refresh_pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

class StandInClock : public PresentClock {
 public:
  std::int64_t NowMicroseconds() override { return now; }
  void SleepUntil(std::int64_t microseconds) override {
    ++sleeps;
    // Woken a little late, as a real sleep is.
    now = std::max(now, microseconds + oversleep);
  }
  std::int64_t now = 1000000;
  std::int64_t oversleep = 0;
  int sleeps = 0;
};

constexpr std::int64_t kRefresh = 16667;  // 60 Hz

// Plays frames that cost `costs[i % size]` microseconds each for `seconds`; a syncing renderer
// holds each present to the next multiple of the refresh. Gives the times of the presents.
std::vector<std::int64_t> Play(RefreshPacer& pacer, StandInClock& clock, const std::vector<std::int64_t>& costs,
                               std::int64_t seconds, bool rendererWaits = false) {
  std::vector<std::int64_t> presents;
  const std::int64_t end = clock.now + seconds * 1000000;
  for (std::size_t i = 0; clock.now < end; ++i) {
    clock.now += costs[i % costs.size()];
    pacer.BeforePresent();
    if (rendererWaits) clock.now = (clock.now / kRefresh + 1) * kRefresh;
    presents.push_back(clock.now);
    pacer.AfterPresent();
  }
  return presents;
}

std::int64_t ShortestInterval(const std::vector<std::int64_t>& presents) {
  std::int64_t shortest = INT64_MAX;
  for (std::size_t i = 1; i < presents.size(); ++i) shortest = std::min(shortest, presents[i] - presents[i - 1]);
  return shortest;
}

TEST(RefreshPacerTest, PacedPresentsComeNoFasterThanTheRefreshAndLateOnesAreNotMadeUp) {
  StandInClock clock;
  clock.oversleep = 300;
  RefreshPacer pacer(clock, RefreshPacer::Mode::kPaced, 60);
  EXPECT_EQ(pacer.RefreshMicroseconds(), kRefresh);
  EXPECT_EQ(pacer.Describe(), "paced to 60 Hz");
  // Cheap frames, with a slow one now and then.
  const std::vector<std::int64_t> presents = Play(pacer, clock, {2000, 3000, 2500, 30000, 1000}, 10);
  // Waking late does not slow the schedule: ten seconds show 600 refreshes' worth, less what the
  // slow frames cost (each pushes the schedule on by its lateness).
  EXPECT_LE(presents.size(), 601u);
  EXPECT_GE(presents.size(), 480u);
  EXPECT_GE(ShortestInterval(presents), kRefresh - clock.oversleep);
  // A frame that comes late is shown at once; the next one waits a whole refresh after it
  // rather than following in quick succession.
  for (std::size_t i = 3; i + 1 < presents.size(); i += 5) {
    EXPECT_GE(presents[i] - presents[i - 1], 30000) << i;
    EXPECT_LT(presents[i] - presents[i - 1], 30000 + kRefresh) << i;
    EXPECT_GE(presents[i + 1] - presents[i], kRefresh) << i;
  }
}

// 600 cheap frames take exactly 599 refreshes of the display's own period, however one refresh
// rounds to whole microseconds or milliseconds, at a whole rate and at a broadcast one.
TEST(RefreshPacerTest, SixHundredPacedFramesKeepTheDisplaysExactPeriod) {
  struct Case {
    double hz;
    std::int64_t span;  // 599 refreshes in microseconds, rounded down
    const char* described;
  };
  for (const Case& c : {Case{60, 9983333, "paced to 60 Hz"}, Case{59.94, 9993326, "paced to 59.94 Hz"}}) {
    StandInClock clock;
    clock.oversleep = 150;
    RefreshPacer pacer(clock, RefreshPacer::Mode::kPaced, c.hz);
    EXPECT_EQ(pacer.Describe(), c.described);
    std::vector<std::int64_t> presents;
    for (int frame = 0; frame < 600; ++frame) {
      clock.now += 3000;
      pacer.BeforePresent();
      presents.push_back(clock.now);
    }
    // The schedule starts at the first present; the last one wakes late by the oversleep alone.
    EXPECT_NEAR(presents.back() - presents.front() - clock.oversleep, c.span, 1) << c.hz << " Hz";
  }
}

TEST(RefreshPacerTest, ADisplayThatReportsNoRateIsPacedToSixtyAndAFasterOneToItsOwn) {
  StandInClock clock;
  RefreshPacer unknown(clock, RefreshPacer::Mode::kPaced, 0);
  EXPECT_EQ(unknown.RefreshHz(), 60);
  RefreshPacer fast(clock, RefreshPacer::Mode::kPaced, 144);
  EXPECT_EQ(fast.RefreshMicroseconds(), 6944);
  EXPECT_LE(Play(fast, clock, {1000}, 2).size(), 2u * 144 + 1);
}

TEST(RefreshPacerTest, ARendererThatWaitsIsLeftAloneAndOneThatClaimsToButDoesNotIsPaced) {
  StandInClock clock;
  RefreshPacer syncing(clock, RefreshPacer::Mode::kVsync, 60);
  Play(syncing, clock, {2000}, 5, /*rendererWaits=*/true);
  EXPECT_EQ(clock.sleeps, 0);
  EXPECT_EQ(syncing.mode(), RefreshPacer::Mode::kVsync);
  EXPECT_EQ(syncing.Describe(), "vsync at 60 Hz");

  // A virtual X server's renderer says it syncs and returns at once: within a group of presents
  // the pacer takes over, and from then on presents come no faster than the refresh.
  RefreshPacer claiming(clock, RefreshPacer::Mode::kVsync, 60);
  const std::vector<std::int64_t> presents = Play(claiming, clock, {2000}, 5);
  EXPECT_EQ(claiming.mode(), RefreshPacer::Mode::kPaced);
  EXPECT_EQ(claiming.Describe(), "paced to 60 Hz");
  EXPECT_LE(presents.size(), 5u * 60 + 40);
  const std::vector<std::int64_t> later(presents.begin() + 40, presents.end());
  EXPECT_GE(ShortestInterval(later), kRefresh - 1) << "a refresh, to the microsecond";

  // Switched off, nothing waits.
  clock.sleeps = 0;
  RefreshPacer off(clock, RefreshPacer::Mode::kOff, 60);
  EXPECT_EQ(Play(off, clock, {2000}, 1).size(), 500u);
  EXPECT_EQ(clock.sleeps, 0);
  EXPECT_EQ(off.Describe(), "not synced");
}

}  // namespace
