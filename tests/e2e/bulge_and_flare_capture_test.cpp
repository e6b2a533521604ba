// The bulging cube's and the twisting bar's slots as a person sees them in a capture of the
// production with the real package: each slot's first and middle frames show the scene (not
// black, not the slot before's picture) in the picture area, and the letterbox rows stay as
// they were.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "runtime/session.h"
#include "tests/support/run_program.h"
#include "tools/common/png_reader.h"

namespace {

namespace fs = std::filesystem;


struct Captured {
  std::uint32_t at;  // timeline time
  int slot;
  std::vector<std::uint32_t> pixels;
};

// Reads the frames in time order and gives each the slot the timeline shows at its time.
std::vector<Captured> ReadCapture(const fs::path& dir) {
  std::map<std::uint32_t, fs::path> byTime;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const auto t = name.find("-t");
    if (t != std::string::npos) byTime[static_cast<std::uint32_t>(std::stoul(name.substr(t + 2)))] = entry.path();
  }
  std::vector<Captured> frames;
  SlotReplay replay;
  for (const auto& [at, path] : byTime) {
    Captured frame{at, replay.Next(at).slot, {}};
    int width = 0, height = 0;
    std::string error;
    EXPECT_TRUE(ReadPng(path.string(), &frame.pixels, &width, &height, &error)) << error;
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 384);
    frames.push_back(std::move(frame));
  }
  return frames;
}

std::vector<std::uint32_t> Rows(const std::vector<std::uint32_t>& pixels, int first, int end) {
  return {pixels.begin() + first * 512, pixels.begin() + end * 512};
}

TEST(BulgeAndFlareCapture, EachSlotShowsItsSceneInThePictureAreaOnly) {
  const fs::path dir = fs::temp_directory_path() / ("kaleth-bulge-flare-" + std::to_string(getpid()));
  fs::remove_all(dir);
  // A frame every 250 ms from the start to the middle of slot 9: the slots' real starts are
  // found from the first frame on.
  const ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--out", dir.string(), "--fps", "4", "--end",
                                        "80000", "--quiet"},
                                       {}, KALETH_BUILD_DIR, 600);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::vector<Captured> frames = ReadCapture(dir);
  ASSERT_FALSE(frames.empty());
  ASSERT_EQ(frames.front().slot, 0);
  const auto letterbox = [](const Captured& f) {
    auto rows = Rows(f.pixels, 0, 52);
    const auto below = Rows(f.pixels, 332, 384);
    rows.insert(rows.end(), below.begin(), below.end());
    return rows;
  };
  const auto firstOfSlot1 = std::find_if(frames.begin(), frames.end(), [](const Captured& f) { return f.slot == 1; });
  ASSERT_NE(firstOfSlot1, frames.end());
  const auto before = letterbox(*firstOfSlot1);

  for (int slot : {2, 5, 7, 9}) {
    std::vector<const Captured*> inSlot;
    const Captured* previous = nullptr;
    for (const Captured& f : frames) {
      if (f.slot == slot) inSlot.push_back(&f);
      if (f.slot == slot - 1) previous = &f;
    }
    ASSERT_GE(inSlot.size(), 2u) << "slot " << slot;
    ASSERT_NE(previous, nullptr) << "slot " << slot;
    for (const Captured* f : {inSlot.front(), inSlot[inSlot.size() / 2]}) {
      const auto picture = Rows(f->pixels, 52, 332);
      int lit = 0;
      for (std::uint32_t p : picture) lit += p != 0;
      EXPECT_GT(lit, 512 * 280 / 2) << "slot " << slot << " at " << f->at << " is mostly black";
      EXPECT_NE(picture, Rows(previous->pixels, 52, 332)) << "slot " << slot << " at " << f->at;
      EXPECT_EQ(letterbox(*f), before) << "slot " << slot << " at " << f->at << " touched the letterbox";
    }
  }
  fs::remove_all(dir);
}

}  // namespace
