// kaleth-capture as a user runs it: frames on disk, its own end, the program's exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

fs::path FreshDir(const std::string& name) {
  fs::path dir = fs::temp_directory_path() / ("kaleth-test-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  return dir;
}

TEST(Capture, WritesFramesThroughEverySlotAndEndsByItselfPastTheLast) {
  const fs::path dir = FreshDir("capture");
  const ProgramResult run = RunProgram(
      {BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms", "3000000", "--end", "100000000"}, {},
      KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  int frames = 0;
  bool loading = false, pastLastSlot = false;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    ++frames;
    loading |= name.find("loading") != std::string::npos;
    // The last slot starts at 127 s nominal and lasts 20,000 s.
    if (auto t = name.find("-t"); t != std::string::npos) pastLastSlot |= std::stoll(name.substr(t + 2)) > 20000000;
  }
  // 13 one-frame slots, 7 frames of the last, and possibly loading frames.
  EXPECT_GE(frames, 20);
  EXPECT_TRUE(pastLastSlot);
  fs::remove_all(dir);
}

TEST(Capture, EndOptionStopsAndBadOptionsAreRefused) {
  const fs::path dir = FreshDir("end");
  ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms", "500", "--end",
                                  "3000", "--", "-window"},
                                 {}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  int frames = 0;
  for (const auto& entry : fs::directory_iterator(dir)) frames += entry.path().extension() == ".png";
  EXPECT_GE(frames, 6);
  EXPECT_LE(frames, 9);
  fs::remove_all(dir);

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--fps", "0"}, {"--key", "Space@10"}, {"--depth", "8"}, {"--bogus"}, {"--out"}}) {
    std::vector<std::string> argv{BuildPath("kaleth-capture")};
    argv.insert(argv.end(), bad.begin(), bad.end());
    run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << bad[0];
    EXPECT_NE(run.output.find("usage:"), std::string::npos);
  }
}

TEST(Capture, FatalStartUpFromTheEnvironmentEndsWithZero) {
  const ProgramResult run =
      RunProgram({BuildPath("kaleth-capture"), "--end", "1000"}, {"KALETH_FAULTS=DirectDrawCreate@1"}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] DirectDrawCreate FAILED"), std::string::npos) << run.output;
}

}  // namespace
