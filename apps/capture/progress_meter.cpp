#include "apps/capture/progress_meter.h"

#include <algorithm>
#include <cstdio>

#include "platform/host/host.h"

ProgressMeter::ProgressMeter(std::uint64_t expectedFrames, bool quiet)
    : expected_(std::max<std::uint64_t>(expectedFrames, 1)),
      live_(!quiet && host::ErrorsGoToTerminal()),
      start_(std::chrono::steady_clock::now()),
      lastDraw_(start_) {}

double ProgressMeter::Seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ProgressMeter::FrameDone() {
  ++done_;
  if (!live_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDraw_ < std::chrono::milliseconds(200)) return;
  lastDraw_ = now;
  draw();
}

void ProgressMeter::draw() {
  constexpr int kWidth = 30;
  const std::uint64_t shown = std::min(done_, expected_);
  const int filled = static_cast<int>(kWidth * shown / expected_);
  const double seconds = Seconds();
  const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0.0;
  const double left = rate > 0 ? static_cast<double>(expected_ - shown) / rate : 0.0;
  std::fprintf(stderr, "\r[%.*s%.*s] %llu/%llu frames  %.0f fps  ETA %d:%02d ", filled,
               "##############################", kWidth - filled, "..............................",
               static_cast<unsigned long long>(done_), static_cast<unsigned long long>(expected_), rate,
               static_cast<int>(left) / 60, static_cast<int>(left) % 60);
  std::fflush(stderr);
}

void ProgressMeter::Finish(const std::string& summary) {
  if (live_) std::fputc('\n', stderr);
  std::fprintf(stderr, "kaleth-capture: %s\n", summary.c_str());
}
