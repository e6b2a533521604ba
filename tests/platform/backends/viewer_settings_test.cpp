// The viewer's choices from the environment: every value it knows, and a clear word and the
// default for the rest.
#include "platform/backends/viewer_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewerSettingsTest, UnsetGivesVsyncSharpScalingAndNoReport) {
  const ViewerSettings settings = ReadViewerSettings(nullptr, nullptr, nullptr);
  EXPECT_TRUE(settings.vsync);
  EXPECT_EQ(settings.scale, ScaleFilter::kSharp);
  EXPECT_FALSE(settings.stats);
}

TEST(ViewerSettingsTest, EveryKnownValueIsTaken) {
  EXPECT_FALSE(ReadViewerSettings("0", nullptr, nullptr).vsync);
  EXPECT_TRUE(ReadViewerSettings("1", nullptr, nullptr).vsync);
  EXPECT_EQ(ReadViewerSettings(nullptr, "nearest", nullptr).scale, ScaleFilter::kNearest);
  EXPECT_EQ(ReadViewerSettings(nullptr, "linear", nullptr).scale, ScaleFilter::kLinear);
  EXPECT_EQ(ReadViewerSettings(nullptr, "sharp", nullptr).scale, ScaleFilter::kSharp);
  EXPECT_TRUE(ReadViewerSettings(nullptr, nullptr, "1").stats);
}

TEST(ViewerSettingsTest, AnUnknownValueIsNamedOnStderrAndTheDefaultKept) {
  testing::internal::CaptureStderr();
  const ViewerSettings settings = ReadViewerSettings("off", "Linear", "");
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(settings.vsync);
  EXPECT_EQ(settings.scale, ScaleFilter::kSharp);
  EXPECT_FALSE(settings.stats);
  EXPECT_EQ(said,
            "KALETH_VSYNC: ignoring 'off' (0 or 1); using 1\n"
            "KALETH_SCALE: ignoring 'Linear' (nearest, linear or sharp); using sharp\n"
            "KALETH_STATS: ignoring '' (0 or 1); using 0\n");
}

}  // namespace
