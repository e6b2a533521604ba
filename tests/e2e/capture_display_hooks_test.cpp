// kaleth-capture on the displays the test hooks describe: one whose every present fails, and a
// desktop whose depth the environment gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

int Count(const std::string& text, const std::string& part) {
  int found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
  return found;
}

int Files(const fs::path& dir) {
  int files = 0;
  if (fs::exists(dir)) {
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
  }
  return files;
}

TEST(CaptureDisplayHooks, EveryPresentFailingStillEndsAtTheEndTime) {
  const fs::path dir = FreshDir("failing-presents");
  // Windowed, every blit fails and says so; full-screen, every flip fails silently. Either way
  // each frame's time passes, so the close at --end comes.
  ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms", "50", "--end",
                                  "5000", "--quiet", "-window"},
                                 {"KALETH_FAULTS=IDirectDrawSurface4::Blt@1+"}, KALETH_BUILD_DIR, 60);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  // The loading picture, then one box for each 50 ms from 0 to 5,000 ms.
  const int boxes = Count(run.output, "[[- Tarn 2.0 msg window -]] unable to blit");
  EXPECT_GE(boxes, 100) << run.output;
  EXPECT_LE(boxes, 103) << run.output;
  EXPECT_EQ(Files(dir), 0) << "nothing reached the screen";

  run = RunProgram({BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms", "50", "--end", "5000", "--quiet"},
                   {"KALETH_FAULTS=IDirectDrawSurface4::Flip@1+"}, KALETH_BUILD_DIR, 60);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(Count(run.output, "Tarn 2.0"), 0) << run.output;
  EXPECT_EQ(Files(dir), 0);
  fs::remove_all(dir);
}

TEST(CaptureDisplayHooks, DesktopDepthFromTheEnvironmentHoldsUnlessDepthIsGiven) {
  const fs::path dir = FreshDir("desktop-depth");
  // A window cannot be played on a 16-bit desktop; told so by the environment alone, the capture
  // meets that desktop, and --depth overrules it.
  const std::vector<std::string> capture{BuildPath("kaleth-capture"), "--out", dir.string(), "--end", "0", "-window"};
  ProgramResult run = RunProgram(capture, {"KALETH_DESKTOP_DEPTH=16"}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] Well, that`s a weird mode.."), std::string::npos)
      << run.output;
  EXPECT_EQ(Files(dir), 0);

  std::vector<std::string> argv = capture;
  argv.insert(argv.end(), {"--depth", "32"});
  run = RunProgram(argv, {"KALETH_DESKTOP_DEPTH=16"}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("Tarn 2.0"), std::string::npos) << run.output;
  EXPECT_TRUE(fs::exists(dir / "frame-000001-loading.png"));
  fs::remove_all(dir);
}

}  // namespace
