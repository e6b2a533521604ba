// kaleth-bench as a user runs it: a row per measured slot, the JSON report, its option errors.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

TEST(Bench, MeasuresEverySoftwareSlotBesideTheFloorAndWritesJson) {
  const fs::path json = fs::temp_directory_path() / ("kaleth-bench-" + std::to_string(getpid()) + ".json");
  const ProgramResult run =
      RunProgram({BuildPath("kaleth-bench"), "--frames", "3", "--json", json.string()}, {}, KALETH_BUILD_DIR);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const char* row : {"canvas copy, 573,440 bytes", "1  sine warp ", "6  four-centre tunnel", "8  four-centre tunnel",
                          "10  sine warp with text", "12  greetings tunnel", "13  end scroller",
                          "4  floor and ceiling", "11  framed tunnel, beat ", "11  framed tunnel, no beat"}) {
    EXPECT_NE(run.output.find(row), std::string::npos) << row << "\n" << run.output;
  }
  std::ifstream in(json);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("\"slot 12: greetings tunnel"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("\"floor_ratio\""), std::string::npos);
  fs::remove(json);
}

TEST(Bench, WrongCommandLinesGiveUsageAndCode2) {
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--frames", "0"}, {"--frames", "x"}, {"--frames"}, {"--json"}, {"--bogus"}}) {
    std::vector<std::string> argv{BuildPath("kaleth-bench")};
    argv.insert(argv.end(), bad.begin(), bad.end());
    const ProgramResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << bad[0];
    EXPECT_NE(run.output.find("usage: kaleth-bench"), std::string::npos) << run.output;
  }
}

}  // namespace
