// The frame report: its line for known frame times, and its numbers against a whole virtual run.
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

TEST(FrameReportTest, ARunWithoutFrameIntervalsSaysSo) {
  FrameReport report;
  report.Shown(7);
  EXPECT_EQ(report.Line(16667, 0, 0, "vsync at 60 Hz"),
            "frame report: 1 frames shown, 0.00 s, 0.0 frames/s; no frame intervals; 0 later than 25.0 ms; "
            "CPU 0.00 s in 0.00 s (0 % of one core); vsync at 60 Hz");
}

}  // namespace
