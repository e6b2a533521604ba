// kaleth-capture.exe under Wine against kaleth-capture on Linux: the same options give the same
// files, byte for byte, at every display depth and thread count.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/windows/wine_test.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(WineTest, CapturesGiveTheLinuxFramesAndSoundByteForByte) {
  const fs::path base = FreshDir("wine-captures");
  int compared = 0;
  for (const char* depth : {"32", "24", "16"}) {
    for (const char* threads : {"1", "2"}) {
      const std::string config = std::string(depth) + "-bit, " + threads + " thread(s)";
      // A frame every half second through the whole production, and its music.
      std::vector<std::string> options{"--step-ms", "500", "--depth", depth, "--quiet"};
      const bool withSound = std::string(depth) == "32" && std::string(threads) == "2";
      const fs::path linuxOut = base / ("linux-" + std::string(depth) + "-" + threads);
      const fs::path wineOut = base / ("wine-" + std::string(depth) + "-" + threads);
      auto argumentsFor = [&](const fs::path& out) {
        std::vector<std::string> arguments{"--out", out.string()};
        if (withSound) arguments.insert(arguments.end(), {"--wav", (out / "music.wav").string()});
        arguments.insert(arguments.end(), options.begin(), options.end());
        return arguments;
      };
      std::vector<std::string> linuxArgv{BuildPath("kaleth-capture")};
      const std::vector<std::string> linuxArguments = argumentsFor(linuxOut);
      linuxArgv.insert(linuxArgv.end(), linuxArguments.begin(), linuxArguments.end());
      const ProgramResult linuxRun =
          RunProgram(linuxArgv, {std::string("KALETH_THREADS=") + threads}, KALETH_BUILD_DIR, 300);
      ASSERT_EQ(linuxRun.exitCode, 0) << config << ": " << linuxRun.output;
      const ProgramResult wineRun =
          RunProgram(UnderWine(WindowsPath("kaleth-capture.exe"), argumentsFor(wineOut)),
                     WineEnvironment({std::string("KALETH_THREADS=") + threads}), WindowsPath("").string(), 600);
      ASSERT_EQ(wineRun.exitCode, 0) << config << ": " << wineRun.output;

      const std::vector<fs::path> linuxFrames = CapturedFrames(linuxOut), wineFrames = CapturedFrames(wineOut);
      ASSERT_GT(linuxFrames.size(), 270u) << config;
      ASSERT_EQ(wineFrames.size(), linuxFrames.size()) << config;
      for (std::size_t i = 0; i < linuxFrames.size(); ++i) {
        ASSERT_EQ(wineFrames[i].filename(), linuxFrames[i].filename()) << config;
        ASSERT_TRUE(Bytes(wineFrames[i]) == Bytes(linuxFrames[i])) << config << ": " << wineFrames[i].filename();
      }
      compared += static_cast<int>(linuxFrames.size());
      if (withSound) {
        const std::string music = Bytes(linuxOut / "music.wav");
        ASSERT_GT(music.size(), 20'000'000u) << "the whole production's music";
        EXPECT_TRUE(Bytes(wineOut / "music.wav") == music) << "the music differs";
      }
      fs::remove_all(linuxOut);
      fs::remove_all(wineOut);
    }
  }
  std::printf("captures: %d frames compared, all identical\n", compared);
  fs::remove_all(base);
}

}  // namespace
