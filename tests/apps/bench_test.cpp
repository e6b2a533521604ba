// kaleth-bench as a user runs it: a row per measured slot, the JSON report, its option errors.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

TEST(Bench, MeasuresEverySlotBesideTheFloorThenTheWholeProductionAndWritesJson) {
  const fs::path json = fs::temp_directory_path() / ("kaleth-bench-" + std::to_string(getpid()) + ".json");
  // A whole-production pass of one second: 60 frames of slot 0; each measurement at one thread
  // and at the pool's two.
  const ProgramResult run = RunProgram(
      {BuildPath("kaleth-bench"), "--frames", "3", "--end", "1000", "--json", json.string()}, {"KALETH_THREADS=2"},
      KALETH_BUILD_DIR);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const char* row :
       {"canvas copy, 573,440 bytes", "0  mesh over a picture", "1  sine warp ", "2  bulging cube over a wave",
        "3  blobs, moving", "3  blobs, frozen", "4  diamond", "4  floor and ceiling", "5  twisting bar with flares",
        "6  four-centre tunnel", "7  twisting bar with flares", "8  four-centre tunnel", "9  twisting bar with flares",
        "10  sine warp with text", "11  framed tunnel, beat ", "11  framed tunnel, no beat", "12  greetings tunnel",
        "13  end scroller", "all  whole production, 60 fps steps", "whole production at 1 thread: 60 frames, 1.0 s of timeline",
        "whole production at 2 threads: 60 frames, 1.0 s of timeline", "ratio to 1 thread"}) {
    EXPECT_NE(run.output.find(row), std::string::npos) << row << "\n" << run.output;
  }
  std::ifstream in(json);
  std::stringstream text;
  text << in.rdbuf();
  for (const char* entry : {"\"slot 12: greetings tunnel [1 thread]", "\"slot 12: greetings tunnel [2 threads]",
                            "\"whole production [2 threads]/", "\"threads\"", "\"floor_ratio\"", "\"fps\"",
                            "\"x_real_time\""}) {
    EXPECT_NE(text.str().find(entry), std::string::npos) << entry << "\n" << text.str();
  }
  fs::remove(json);
}

TEST(Bench, ThreadsOptionMeasuresAtThatCountAlone) {
  const ProgramResult run = RunProgram({BuildPath("kaleth-bench"), "--frames", "2", "--end", "100", "--threads", "3",
                                        "--benchmark_filter=slot 5|whole"},
                                       {"KALETH_THREADS=2"}, KALETH_BUILD_DIR);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(std::regex_search(run.output, std::regex(R"(\n +5  twisting bar with flares +3 )"))) << run.output;
  EXPECT_NE(run.output.find("whole production at 3 threads: 6 frames"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("[1 thread]"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("at 1 thread"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("ratio to"), std::string::npos) << run.output;
}

TEST(Bench, WrongCommandLinesGiveUsageAndCode2) {
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--frames", "0"}, {"--frames", "x"}, {"--frames"}, {"--json"}, {"--end", "0"},
        {"--end", "3600001"}, {"--end", ""}, {"--threads", "0"}, {"--threads", "65"}, {"--bogus"}}) {
    std::vector<std::string> argv{BuildPath("kaleth-bench")};
    argv.insert(argv.end(), bad.begin(), bad.end());
    const ProgramResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << bad[0];
    EXPECT_NE(run.output.find("usage: kaleth-bench"), std::string::npos) << run.output;
  }
}

}  // namespace
