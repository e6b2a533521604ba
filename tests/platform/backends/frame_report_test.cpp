// The frame report: its line for known frame times.
#include "platform/backends/frame_report.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameReportTest, TheLineGivesRateAndPercentilesOfTheFrameIntervalsLeavingOutPauses) {
  FrameReport report;
  report.Shown(0);  // a loading picture that stands for a while
  report.Paused();
  std::int64_t now = 2500000;
  report.Shown(now);
  // Twenty intervals: seventeen of 16 ms, then 20, 30 and 50 ms.
  for (int i = 0; i < 17; ++i) report.Shown(now += 16000);
  for (std::int64_t interval : {20000, 30000, 50000}) report.Shown(now += interval);
  EXPECT_EQ(report.Frames(), 22u);
  EXPECT_EQ(report.Line(16667, 1.5, 3.0, "paced to 60 Hz"),
            "frame report: 22 frames shown, 0.37 s, 53.8 frames/s; frame interval median 16.0 ms, 95th 30.0 ms, "
            "99th 50.0 ms, max 50.0 ms; 2 later than 25.0 ms; CPU 1.50 s in 3.00 s (50 % of one core); paced to 60 Hz");
}

// The report keeps counts, not every interval, so that hours of frames cost it nothing more; the
// long stalls it keeps one by one must still fall in their ranks.
TEST(FrameReportTest, StallsAndHoursOfFramesKeepTheirRanks) {
  FrameReport report;
  std::int64_t now = 0;
  report.Shown(now);
  // Six hours at 60 Hz, then two stalls of 150 and 250 ms, the last far past the rest.
  constexpr int kFrames = 6 * 60 * 60 * 60;
  for (int i = 0; i < kFrames; ++i) report.Shown(now += 16667);
  report.Shown(now += 250000);
  report.Shown(now += 150000);
  EXPECT_EQ(report.Line(16667, 0, 0, "t"),
            "frame report: 1296003 frames shown, 21600.83 s, 60.0 frames/s; frame interval median 16.7 ms, "
            "95th 16.7 ms, 99th 16.7 ms, max 250.0 ms; 2 later than 25.0 ms; CPU 0.00 s in 0.00 s "
            "(0 % of one core); t");
  FrameReport stalls;
  now = 0;
  stalls.Shown(now);
  for (std::int64_t interval : {300000, 100000, 200000, 99999}) stalls.Shown(now += interval);
  EXPECT_NE(stalls.Line(16667, 0, 0, "t").find("median 100.0 ms, 95th 300.0 ms, 99th 300.0 ms, max 300.0 ms; 4 later"),
            std::string::npos)
      << stalls.Line(16667, 0, 0, "t");
}

TEST(FrameReportTest, ARunWithoutFrameIntervalsSaysSo) {
  FrameReport report;
  report.Shown(7);
  EXPECT_EQ(report.Line(16667, 0, 0, "vsync at 60 Hz"),
            "frame report: 1 frames shown, 0.00 s, 0.0 frames/s; no frame intervals; 0 later than 25.0 ms; "
            "CPU 0.00 s in 0.00 s (0 % of one core); vsync at 60 Hz");
}

}  // namespace
