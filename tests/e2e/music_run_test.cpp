// The real entry with the production's music on the headless backend, in-process: the beat flags
// the scenes see follow the music the same way every run, and F1 flips BeatFlagA when pressed.
#include <gtest/gtest.h>

#include <vector>

#include "music/beat_flags.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "tests/support/headless.h"

namespace {

struct Seen {
  std::int64_t time;  // timeline milliseconds
  int a, b;
  bool operator==(const Seen&) const = default;
};

class MusicRunTest : public HeadlessTest {
 protected:
  // Plays the first six seconds at 20 frames a second with the given keys, on a backend of its own.
  std::vector<Seen> Run(std::vector<ScriptedMessage> keys) {
    HeadlessBackend run;
    run.printBoxes = false;
    run.frameStepMicroseconds = 50000;
    run.script = std::move(keys);
    run.script.push_back(ScriptedMessage{6000, WM_KEYDOWN, VK_ESCAPE});
    auto timeline = [&run]() -> std::int64_t {
      return Playing ? static_cast<std::int64_t>(static_cast<std::uint32_t>(run.Milliseconds() - SlotTable[0].start)) : -1;
    };
    run.scriptClock = timeline;
    std::vector<Seen> seen;
    run.onPresent = [&](const FrameView&, std::uint32_t) {
      if (Playing) seen.push_back(Seen{timeline(), BeatFlagA, BeatFlagB});
    };
    SetWindowsBackend(&run);
    // Each process starts with BeatFlagA set; so does each run here.
    BeatFlagA = 1;
    std::string commandLine;
    EXPECT_EQ(WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT), 0);
    EXPECT_TRUE(run.boxes.empty()) << run.boxes.front().text;
    ResetSoundLibrary();
    ResetWindowsState();
    SetWindowsBackend(&backend);
    return seen;
  }
};

TEST_F(MusicRunTest, TheFlagsFollowTheMusicAlikeEveryRunAndF1FlipsBeatFlagAWhenPressed) {
  const std::vector<Seen> first = Run({});
  const std::vector<Seen> second = Run({});
  ASSERT_GT(first.size(), 100u);
  EXPECT_EQ(first, second);
  int changesA = 0, changesB = 0;
  for (std::size_t i = 1; i < first.size(); ++i) {
    changesA += first[i].a != first[i - 1].a;
    changesB += first[i].b != first[i - 1].b;
  }
  EXPECT_GT(changesA, 0);
  EXPECT_GT(changesB, 0);

  const std::vector<Seen> pressed = Run({ScriptedMessage{3000, WM_KEYDOWN, VK_F1}});
  ASSERT_EQ(pressed.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    ASSERT_EQ(pressed[i].time, first[i].time);
    EXPECT_EQ(pressed[i].b, first[i].b) << pressed[i].time;
    // The key is taken before the first frame at or after its time.
    EXPECT_EQ(pressed[i].a, pressed[i].time < 3000 ? first[i].a : 1 - first[i].a) << pressed[i].time;
  }
}

}  // namespace
