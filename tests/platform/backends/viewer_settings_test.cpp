// The viewer's choices: every value it knows, and a clear word and the default for the rest.
#include "platform/backends/viewer_settings.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

ViewerSettings Read(const char* vsync, const char* scale, const char* stats) {
  Lines warnings;
  const ViewerSettings settings = ReadViewerSettings(vsync, scale, stats, &warnings);
  EXPECT_EQ(warnings, Lines{});
  return settings;
}

TEST(ViewerSettingsTest, UnsetGivesVsyncSharpScalingAndNoReport) {
  const ViewerSettings settings = Read(nullptr, nullptr, nullptr);
  EXPECT_TRUE(settings.vsync);
  EXPECT_EQ(settings.scale, ScaleFilter::kSharp);
  EXPECT_FALSE(settings.stats);
}

TEST(ViewerSettingsTest, EveryKnownValueIsTaken) {
  EXPECT_FALSE(Read("0", nullptr, nullptr).vsync);
  EXPECT_TRUE(Read("1", nullptr, nullptr).vsync);
  EXPECT_EQ(Read(nullptr, "nearest", nullptr).scale, ScaleFilter::kNearest);
  EXPECT_EQ(Read(nullptr, "linear", nullptr).scale, ScaleFilter::kLinear);
  EXPECT_EQ(Read(nullptr, "sharp", nullptr).scale, ScaleFilter::kSharp);
  EXPECT_TRUE(Read(nullptr, nullptr, "1").stats);
}

TEST(ViewerSettingsTest, AnUnknownValueIsNamedAndTheDefaultKept) {
  Lines warnings;
  const ViewerSettings settings = ReadViewerSettings("off", "Linear", "", &warnings);
  EXPECT_TRUE(settings.vsync);
  EXPECT_EQ(settings.scale, ScaleFilter::kSharp);
  EXPECT_FALSE(settings.stats);
  EXPECT_EQ(warnings, (Lines{"KALETH_VSYNC: ignoring 'off' (0 or 1); using 1",
                             "KALETH_SCALE: ignoring 'Linear' (nearest, linear or sharp); using sharp",
                             "KALETH_STATS: ignoring '' (0 or 1); using 0"}));
}

}  // namespace
