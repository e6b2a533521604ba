#include "platform/backends/refresh_pacer.h"

#include <chrono>
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

RefreshPacer::RefreshPacer(PresentClock& clock, Mode mode, int refreshHz)
    : clock_(clock),
      mode_(mode),
      refreshHz_(refreshHz > 0 ? refreshHz : kAssumedRefreshHz),
      interval_((1000000 + refreshHz_ / 2) / refreshHz_) {}

void RefreshPacer::BeforePresent() {
  if (mode_ != Mode::kPaced) return;
  const std::int64_t now = clock_.NowMicroseconds();
  // A frame that comes late is shown at once, and the schedule starts again from it rather than
  // catching up with frames in quick succession. Waking a little late does not move the schedule.
  std::int64_t slot = now;
  if (scheduled_ && now < due_) {
    clock_.SleepUntil(due_);
    slot = due_;
  }
  scheduled_ = true;
  due_ = slot + interval_;
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
  const std::string rate = std::to_string(refreshHz_) + " Hz";
  switch (mode_) {
    case Mode::kVsync:
      return "vsync at " + rate;
    case Mode::kPaced:
      return "paced to " + rate;
    case Mode::kOff:
      break;
  }
  return "not synced";
}
