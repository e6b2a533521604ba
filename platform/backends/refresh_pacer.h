// Holds presents to the display's refresh, as the page flip waited for the vertical retrace. A
// renderer that syncs waits by itself; one that cannot (a software renderer), or claims to and
// does not (a virtual X server), is paced instead: a present waits for the next refresh of a
// schedule kept at the refresh rate, so the loop never shows frames faster than the screen does.
#pragma once

#include <cstdint>
#include <string>

// The clock a pacer reads and waits on: the steady clock, or a stand-in in tests.
class PresentClock {
 public:
  virtual ~PresentClock() = default;
  virtual std::int64_t NowMicroseconds() = 0;
  // Returns once the clock has reached `microseconds`.
  virtual void SleepUntil(std::int64_t microseconds) = 0;
};

// std::chrono::steady_clock.
PresentClock& SteadyPresentClock();

// The refresh rate to pace to when the display reports none.
inline constexpr int kAssumedRefreshHz = 60;

class RefreshPacer {
 public:
  enum class Mode {
    kOff,    // presents go out as they come
    kVsync,  // the renderer waits; watched, and paced should it turn out not to
    kPaced,  // the pacer waits
  };

  // `refreshHz` <= 0 means the display did not say: kAssumedRefreshHz. Fractional rates (59.94)
  // are kept to the millihertz.
  RefreshPacer(PresentClock& clock, Mode mode, double refreshHz);

  // Paced: waits until the next refresh on the schedule.
  void BeforePresent();
  // Watches a renderer that should have waited for the refresh.
  void AfterPresent();

  Mode mode() const { return mode_; }
  // The rate to the nearest whole hertz, and one refresh to the nearest microsecond.
  int RefreshHz() const { return static_cast<int>((millihertz_ + 500) / 1000); }
  std::int64_t RefreshMicroseconds() const { return interval_; }
  // "vsync at 60 Hz", "paced to 60 Hz" or "not synced".
  std::string Describe() const;

 private:
  PresentClock& clock_;
  Mode mode_;
  std::int64_t millihertz_;
  std::int64_t interval_;
  // The paced schedule: refresh n falls at start_ + n refreshes, worked out from n each time so
  // that no rounding of one refresh to whole microseconds adds up over a run.
  bool scheduled_ = false;
  std::int64_t start_ = 0;
  std::int64_t next_ = 0;  // the refresh the next paced present waits for
  // The watch over a syncing renderer: presents in the current group, and how many of them came
  // less than half a refresh after the one before.
  bool watching_ = false;
  std::int64_t lastPresent_ = 0;
  int watched_ = 0;
  int quick_ = 0;
};
