#include "platform/backends/refresh_pacer.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {

// A syncing renderer is judged on groups of this many presents: most of a group coming in less
// than half a refresh means it does not wait. A renderer that queues a frame or two ahead, or a
// slow frame now and then, never looks like that.
constexpr int kWatchedPresents = 32;

class SteadyClock final : public PresentClock {
 public:
  std::int64_t NowMicroseconds() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void SleepUntil(std::int64_t microseconds) override {
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::microseconds(microseconds)));
  }
};

}  // namespace

PresentClock& SteadyPresentClock() {
  static SteadyClock clock;
  return clock;
}

namespace {

constexpr std::int64_t kMillihertzMicroseconds = 1000000000;  // a refresh lasts this / millihertz microseconds

std::int64_t Millihertz(double refreshHz) {
  const std::int64_t millihertz = refreshHz > 0 && refreshHz < 1e6 ? std::llround(refreshHz * 1000) : 0;
  return millihertz > 0 ? millihertz : std::int64_t{kAssumedRefreshHz} * 1000;
}

}  // namespace

RefreshPacer::RefreshPacer(PresentClock& clock, Mode mode, double refreshHz)
    : clock_(clock),
      mode_(mode),
      millihertz_(Millihertz(refreshHz)),
      interval_((kMillihertzMicroseconds + millihertz_ / 2) / millihertz_) {}

void RefreshPacer::BeforePresent() {
  if (mode_ != Mode::kPaced) return;
  const std::int64_t now = clock_.NowMicroseconds();
  const std::int64_t due = start_ + next_ * kMillihertzMicroseconds / millihertz_;
  // A frame that comes late is shown at once, and the schedule starts again from it rather than
  // catching up with frames in quick succession. Waking a little late does not move the schedule.
  if (scheduled_ && now < due) {
    clock_.SleepUntil(due);
    ++next_;
    return;
  }
  scheduled_ = true;
  start_ = now;
  next_ = 1;
}

void RefreshPacer::AfterPresent() {
  if (mode_ != Mode::kVsync) return;
  const std::int64_t now = clock_.NowMicroseconds();
  if (watching_) {
    ++watched_;
    if (now - lastPresent_ < interval_ / 2) ++quick_;
    if (watched_ == kWatchedPresents) {
      if (quick_ > kWatchedPresents / 2) mode_ = Mode::kPaced;
      watched_ = quick_ = 0;
    }
  }
  watching_ = true;
  lastPresent_ = now;
}

std::string RefreshPacer::Describe() const {
  // Whole rates as they are ("60 Hz"), others to the hundredth ("59.94 Hz").
  char rate[32];
  if (millihertz_ % 1000 == 0) std::snprintf(rate, sizeof rate, "%lld Hz", static_cast<long long>(millihertz_ / 1000));
  else std::snprintf(rate, sizeof rate, "%.2f Hz", static_cast<double>(millihertz_) / 1000);
  switch (mode_) {
    case Mode::kVsync:
      return std::string("vsync at ") + rate;
    case Mode::kPaced:
      return std::string("paced to ") + rate;
    case Mode::kOff:
      break;
  }
  return "not synced";
}
