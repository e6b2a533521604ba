// Slots 0, 3 and 4 as a person sees them in a capture with the real package: the opening mesh
// over its picture, the blobs never darker than their overlay, the diamond filling the picture
// area; each slot's first and middle frames show its own scene, and the letterbox stays black.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "runtime/session.h"
#include "data/pak_archive.h"
#include "data/raw_loaders.h"
#include "core/canvas.h"
#include "tests/support/headless.h"
#include "tests/support/run_program.h"
#include "tools/common/png_reader.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kStepMs = 997;  // a prime step, so the slots start at uneven times

using Frame = std::vector<std::uint32_t>;

struct Shown {
  int slot;
  std::string path;
};

std::vector<Shown> ReplayTimeline(const std::map<std::uint32_t, std::string>& frames) {
  std::vector<Shown> shown;
  SlotReplay replay;
  for (const auto& [at, path] : frames) shown.push_back({replay.Next(at).slot, path});
  return shown;
}

Frame Read(const std::string& path) {
  Frame pixels;
  int width = 0, height = 0;
  std::string error;
  EXPECT_TRUE(ReadPng(path, &pixels, &width, &height, &error)) << error;
  EXPECT_EQ(width, 512);
  EXPECT_EQ(height, 384);
  pixels.resize(512 * 384);
  return pixels;
}

// How many pixels of the picture area are black, and whether the letterbox is all black.
int BlackInPicture(const Frame& f) {
  int black = 0;
  for (int i = 52 * 512; i < 332 * 512; ++i) black += f[i] == 0;
  return black;
}
bool LetterboxBlack(const Frame& f) {
  for (int y : {0, 25, 51, 332, 360, 383})
    for (int x = 0; x < 512; ++x)
      if (f[512 * y + x] != 0) return false;
  return true;
}

class MeshBlobDiamondCaptureTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    const std::string packagePath = std::string(KALETH_BUILD_DIR) + "/kaleth.pak";
    Package.open(packagePath.c_str());
    opening = LoadRgbRawScreen("overlay2.raw");
    blobOverlay = LoadRgbRawScreen("overlay3.raw");
  }
  void TearDown() override {
    std::free(opening);
    std::free(blobOverlay);
    HeadlessTest::TearDown();
  }
  std::uint32_t* opening = nullptr;
  std::uint32_t* blobOverlay = nullptr;
};

TEST_F(MeshBlobDiamondCaptureTest, FirstAndMiddleFramesShowEachSlotsOwnScene) {
  const fs::path dir = fs::temp_directory_path() / ("kaleth-d3d-a-capture-" + std::to_string(getpid()));
  fs::remove_all(dir);
  const ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms",
                                        std::to_string(kStepMs), "--end", "65000", "--quiet"},
                                       {}, KALETH_BUILD_DIR);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::map<std::uint32_t, std::string> frames;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (auto t = name.find("-t"); t != std::string::npos) frames[std::stoul(name.substr(t + 2))] = entry.path().string();
  }
  const std::vector<Shown> shown = ReplayTimeline(frames);
  std::map<int, std::vector<std::string>> bySlot;
  for (const Shown& s : shown) bySlot[s.slot].push_back(s.path);
  ASSERT_EQ(bySlot.count(4), 1u);

  for (int slot : {0, 3, 4}) {
    const std::vector<std::string>& paths = bySlot[slot];
    const Frame previousLast = slot > 0 ? Read(bySlot[slot - 1].back()) : Frame(512 * 384, 0);
    for (const std::string& path : {paths.front(), paths[paths.size() / 2]}) {
      SCOPED_TRACE("slot " + std::to_string(slot) + ": " + path);
      const Frame f = Read(path);
      EXPECT_TRUE(LetterboxBlack(f));
      EXPECT_LT(BlackInPicture(f), 512 * 280 * 85 / 100) << "the scene shows, not black";
      int same = 0, matching = 0, notDarker = 0;
      for (int y = 0; y < 280; ++y) {
        for (int x = 0; x < 512; ++x) {
          const std::uint32_t p = f[512 * (y + 52) + x];
          same += p == previousLast[512 * (y + 52) + x];
          matching += p == opening[512 * y + x];
          const std::uint32_t o = blobOverlay[512 * y + x];
          notDarker += (p & 0xFF) >= (o & 0xFF) && (p & 0xFF00) >= (o & 0xFF00) && (p & 0xFF0000) >= (o & 0xFF0000);
        }
      }
      EXPECT_LT(same, 512 * 280 * 85 / 100) << "not the previous slot's picture";
      if (slot == 0) {
        EXPECT_GT(matching, 512 * 280 * 3 / 4) << "the opening picture around the mesh";
      } else if (slot == 3) {
        EXPECT_EQ(notDarker, 512 * 280) << "every channel at least the overlay's";
      } else if (slot == 4) {
        EXPECT_LT(matching, 512 * 280 / 10);
      }
    }
  }
  fs::remove_all(dir);
}

}  // namespace
