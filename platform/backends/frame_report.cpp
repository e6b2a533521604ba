#include "platform/backends/frame_report.h"


#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr std::uint32_t kCountedMicroseconds = 100000;

double Milliseconds(std::uint32_t microseconds) { return microseconds / 1000.0; }

}  // namespace

FrameReport::FrameReport() : counts_(kCountedMicroseconds, 0) {}

void FrameReport::Shown(std::int64_t microseconds) {
  ++frames_;
  if (chained_) {
    const auto interval = static_cast<std::uint32_t>(std::clamp<std::int64_t>(
        microseconds - last_, 0, std::numeric_limits<std::uint32_t>::max()));
    if (interval < kCountedMicroseconds) ++counts_[interval];
    else stalls_.insert(std::upper_bound(stalls_.begin(), stalls_.end(), interval), interval);
    ++intervals_;
    totalMicroseconds_ += interval;
  }
  chained_ = true;
  last_ = microseconds;
}

void FrameReport::Paused() { chained_ = false; }

std::string FrameReport::Line(std::int64_t refreshMicroseconds, double cpuSeconds, double wallSeconds,
                              const std::string& timing) const {
  // The nearest-rank percentile: the interval at rank ceil(n * percent / 100), counting up from
  // the shortest.
  auto percentile = [this](int percent) {
    const std::uint64_t rank = std::max<std::uint64_t>((intervals_ * static_cast<std::uint64_t>(percent) + 99) / 100, 1);
    std::uint64_t seen = 0;
    for (std::uint32_t value = 0; value < kCountedMicroseconds; ++value) {
      seen += counts_[value];
      if (seen >= rank) return value;
    }
    return stalls_[rank - seen - 1];
  };
  const double seconds = static_cast<double>(totalMicroseconds_) / 1e6;
  const double late = 1.5 * static_cast<double>(refreshMicroseconds);
  std::uint64_t lateCount = 0;
  for (std::uint32_t value = 0; value < kCountedMicroseconds; ++value) lateCount += value > late ? counts_[value] : 0;
  for (std::uint32_t stall : stalls_) lateCount += stall > late;
  char intervals[160] = "no frame intervals";
  if (intervals_ > 0) {
    std::snprintf(intervals, sizeof intervals, "frame interval median %.1f ms, 95th %.1f ms, 99th %.1f ms, max %.1f ms",
                  Milliseconds(percentile(50)), Milliseconds(percentile(95)), Milliseconds(percentile(99)),
                  Milliseconds(percentile(100)));
  }
  char line[512];
  std::snprintf(line, sizeof line,
                "frame report: %llu frames shown, %.2f s, %.1f frames/s; %s; %llu later than %.1f ms; "
                "CPU %.2f s in %.2f s (%.0f %% of one core); %s",
                static_cast<unsigned long long>(frames_), seconds,
                seconds > 0 ? static_cast<double>(intervals_) / seconds : 0.0, intervals,
                static_cast<unsigned long long>(lateCount), late / 1000.0, cpuSeconds, wallSeconds,
                wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0.0, timing.c_str());
  return line;
}

