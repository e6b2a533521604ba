// The software scenes as a person sees them in a capture of the production with the real
// package: every captured frame of slots 1, 6, 8, 10, 12 and 13 is the scene's formula applied to
// the package's own pictures, at the time the timeline hands that slot.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "runtime/session.h"
#include "data/pak_archive.h"
#include "data/pcx_loader.h"
#include "data/raw_loaders.h"
#include "tests/scenes/soft/expected_frames.h"
#include "tests/support/headless.h"
#include "tests/support/run_program.h"
#include "tools/common/png_reader.h"

namespace {

using namespace soft_test;
namespace fs = std::filesystem;

constexpr std::uint32_t kStepMs = 997;  // a prime step, so the slots start at uneven times

// A captured frame: its timeline time, the slot it shows, and the time that slot's render
// operation was handed.
struct Shown {
  std::uint32_t at;
  int slot;
  std::uint32_t elapsed;
  std::string path;
};

// The slot each captured frame shows, and the time its render operation was handed.
std::vector<Shown> ReplayTimeline(const std::map<std::uint32_t, std::string>& frames) {
  std::vector<Shown> shown;
  SlotReplay replay;
  for (const auto& [at, path] : frames) {
    const ReplayedFrame frame = replay.Next(at);
    shown.push_back({at, frame.slot, frame.elapsed, path});
  }
  return shown;
}

class SoftScenesCaptureTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    BuildTables();
    packagePath = std::string(KALETH_BUILD_DIR) + "/kaleth.pak";
    Package.open(packagePath.c_str());
  }
  void TearDown() override {
    for (std::uint32_t* picture : loaded) std::free(picture);
    FreeTables();
    HeadlessTest::TearDown();
  }

  const std::uint32_t* Keep(std::uint32_t* picture) {
    loaded.push_back(picture);
    return picture;
  }

  std::string packagePath;
  std::vector<std::uint32_t*> loaded;
};

TEST_F(SoftScenesCaptureTest, SoftwareSlotsShowTheirFormulasWithThePackagesPictures) {
  const fs::path dir = fs::temp_directory_path() / ("kaleth-soft-capture-" + std::to_string(getpid()));
  fs::remove_all(dir);
  const ProgramResult run =
      RunProgram({BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms", std::to_string(kStepMs), "--end",
                  "175000"},
                 {}, KALETH_BUILD_DIR, 600);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::map<std::uint32_t, std::string> frames;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const auto t = name.find("-t");
    if (t != std::string::npos) frames[static_cast<std::uint32_t>(std::stoul(name.substr(t + 2)))] = entry.path();
  }

  WarpPictures warp{Keep(LoadPcx("texture5.pcx")), Keep(LoadPcx("texture6.pcx")),
                    Keep(LoadRgbRawScreen("overlay1.raw")), {}};
  for (int i = 0; i < 6; ++i) warp.texts[i] = Keep(LoadGrayRaw(16000, ("text" + std::to_string(i + 1) + ".raw").c_str()));
  const std::uint32_t* fieldTexture = Keep(LoadPcx("texture1.pcx"));
  GreetingsPictures greetings{fieldTexture, warp.texture5, {}};
  for (int i = 0; i < 9; ++i) greetings.greetings[i] = Keep(LoadPcx(("greet" + std::to_string(i + 1) + ".pcx").c_str()));
  const std::uint32_t* background = Keep(LoadRgbRawScreen("overlay4.raw"));
  const std::uint32_t* scroll = Keep(LoadGrayRaw(358400, "scroll.raw"));
  Table fieldDepth, fieldAngle, tunnelDepth, tunnelAngle;
  FormulaFieldTables(&fieldDepth, &fieldAngle);
  FormulaGreetingsTables(&tunnelDepth, &tunnelAngle);

  std::map<int, int> checked;
  Picture frozen;
  for (const Shown& frame : ReplayTimeline(frames)) {
    Picture expected;
    const std::uint32_t a = frame.elapsed;
    const bool first = checked[frame.slot] == 0;
    switch (frame.slot) {
      case 1:
      case 10:
        // On its first pass slot 10 is handed the time from slot 9's start, 5001 ms or more: the
        // fourth text picture is up.
        if (frame.slot == 10 && first) {
          EXPECT_EQ(a / 1500, 3u) << a;
        }
        expected = ExpectedWarpFrame(warp, a, frame.slot + 1);
        break;
      case 6:
      case 8:
        expected = ExpectedFieldFrame(fieldTexture, fieldDepth, fieldAngle, a);
        break;
      case 12:
        if (first) {
          EXPECT_GE(ExpectedGreetingPlacement(a).picture, 7) << "greet8.pcx or later, a = " << a;
        }
        expected = ExpectedGreetingsFrame(greetings, tunnelDepth, tunnelAngle, a);
        break;
      case 13:
        expected = ExpectedScrollerFrame(background, scroll, a);
        if (a >= 20000) {
          if (frozen.empty()) frozen = expected;
          EXPECT_EQ(expected, frozen) << "the text stands still at row 800";
        }
        break;
      default:
        continue;
    }
    Picture shown;
    int width = 0, height = 0;
    std::string error;
    ASSERT_TRUE(ReadPng(frame.path, &shown, &width, &height, &error)) << error;
    ASSERT_EQ(width, 512);
    ASSERT_EQ(height, 384);
    EXPECT_TRUE(SameFrame(expected.data(), shown.data() + 52 * 512))
        << "slot " << frame.slot << " at " << frame.at << " ms, a = " << a;
    ++checked[frame.slot];
  }
  // Every software slot was seen, and the scroller long enough to stand still (slot 13 starts
  // by 140 s at the latest with this step).
  for (int slot : {1, 6, 8, 10, 12, 13}) EXPECT_GE(checked[slot], 1) << "slot " << slot;
  EXPECT_FALSE(frozen.empty());
  fs::remove_all(dir);
}

}  // namespace
