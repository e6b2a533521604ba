#include "platform/backends/frame_report.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// An hour at 60 frames a second, so that a run seldom grows the list while it plays.
constexpr std::size_t kExpectedIntervals = 60 * 60 * 60;

double Milliseconds(std::uint32_t microseconds) { return microseconds / 1000.0; }

// The nearest-rank percentile of sorted values.
std::uint32_t Percentile(const std::vector<std::uint32_t>& sorted, int percent) {
  const std::size_t rank = (sorted.size() * static_cast<std::size_t>(percent) + 99) / 100;
  return sorted[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

FrameReport::FrameReport() { intervals_.reserve(kExpectedIntervals); }

void FrameReport::Shown(std::int64_t microseconds) {
  ++frames_;
  if (chained_) {
    const std::int64_t interval = std::max<std::int64_t>(microseconds - last_, 0);
    intervals_.push_back(static_cast<std::uint32_t>(
        std::min<std::int64_t>(interval, std::numeric_limits<std::uint32_t>::max())));
  }
  chained_ = true;
  last_ = microseconds;
}

void FrameReport::Paused() { chained_ = false; }

std::string FrameReport::Line(std::int64_t refreshMicroseconds, double cpuSeconds, double wallSeconds,
                              const std::string& timing) const {
  std::vector<std::uint32_t> sorted = intervals_;
  std::sort(sorted.begin(), sorted.end());
  double seconds = 0;
  for (std::uint32_t interval : sorted) seconds += interval / 1e6;
  const double late = 1.5 * static_cast<double>(refreshMicroseconds);
  const auto lateCount = sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), late,
                                                         [](double limit, std::uint32_t v) { return limit < v; });
  char intervals[160] = "no frame intervals";
  if (!sorted.empty()) {
    std::snprintf(intervals, sizeof intervals, "frame interval median %.1f ms, 95th %.1f ms, 99th %.1f ms, max %.1f ms",
                  Milliseconds(Percentile(sorted, 50)), Milliseconds(Percentile(sorted, 95)),
                  Milliseconds(Percentile(sorted, 99)), Milliseconds(sorted.back()));
  }
  char line[512];
  std::snprintf(line, sizeof line,
                "frame report: %llu frames shown, %.2f s, %.1f frames/s; %s; %lld later than %.1f ms; "
                "CPU %.2f s in %.2f s (%.0f %% of one core); %s",
                static_cast<unsigned long long>(frames_), seconds, seconds > 0 ? sorted.size() / seconds : 0.0,
                intervals, static_cast<long long>(lateCount), late / 1000.0, cpuSeconds, wallSeconds,
                wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0.0, timing.c_str());
  return line;
}

double ProcessCpuSeconds() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
