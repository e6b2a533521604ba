// Settings a whole run of kaleth-capture follows: another depth-buffer card, and the frame report
// of the virtual run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>

#include "tests/support/run_program.h"

namespace {

TEST(Device3DSettings, TheEnvironmentCanOfferACardWithStencilDepthOnly) {
  const std::string sheet =
      (std::filesystem::temp_directory_path() / ("kaleth-depth-" + std::to_string(getpid()) + ".png")).string();
  const ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--sheet", sheet, "--end", "1000"},
                                       {"KALETH_DEPTH_FORMATS=24s8,15s1"}, KALETH_BUILD_DIR);
  std::filesystem::remove(sheet);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] No zbuffer support"), std::string::npos) << run.output;
}

TEST(FrameReportTest, TheCapturesReportCountsEveryPresentedFrameOnItsVirtualClock) {
  const ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--wav", BuildPath("frame-report-test.wav"), "--end",
                                        "1500", "--fps", "20", "--quiet"},
                                       {"KALETH_STATS=1"}, KALETH_BUILD_DIR);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::smatch presented, line;
  ASSERT_TRUE(std::regex_search(run.output, presented, std::regex(R"(kept of (\d+) presented)"))) << run.output;
  ASSERT_TRUE(std::regex_search(run.output, line,
                                std::regex(R"(frame report: (\d+) frames shown, [\d.]+ s, 20\.0 frames/s; frame interval )"
                                           R"(median 50\.0 ms, 95th 50\.0 ms, 99th 50\.0 ms, max 50\.0 ms; 0 later than )"
                                           R"(75\.0 ms; CPU [\d.]+ s in [\d.]+ s \(\d+ % of one core\); virtual clock, )"
                                           R"(a frame every 50\.000 ms\n)")))
      << run.output;
  EXPECT_EQ(line[1].str(), presented[1].str());
}

}  // namespace
