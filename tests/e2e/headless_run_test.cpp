// The real entry on the headless backend, in-process: the whole timeline, keys, a fatal start.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "runtime/session.h"
#include "data/raw_loaders.h"
#include "music/beat_flags.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "tests/support/headless.h"

namespace {

class HeadlessRunTest : public HeadlessTest {
 protected:
  struct Shown {
    std::uint32_t now;
    int slot;  // -1 before the timeline runs
  };

  int Run(const char* commandLine) {
    backend.onPresent = [this](const FrameView& frame, std::uint32_t now) {
      if (shown.empty()) {
        firstPicture.assign(frame.pixels, frame.pixels + static_cast<std::size_t>(frame.pitch) * frame.height);
        firstPitch = frame.pitch;
      }
      shown.push_back(Shown{now, WhereIs(now).slot});
    };
    std::string line = commandLine;
    return WinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT);
  }

  std::int64_t TimelineTime(std::uint32_t now) const { return static_cast<std::uint32_t>(now - slot0Start); }

  std::vector<Shown> shown;
  std::uint32_t slot0Start = 0;
  std::vector<std::uint8_t> firstPicture;
  int firstPitch = 0;
};

TEST_F(HeadlessRunTest, LoadingPictureComesFirstAndStandsTwoSecondsWhileKeysWait) {
  backend.scriptClock = [this] { return static_cast<std::int64_t>(backend.ElapsedMilliseconds()); };
  backend.script.push_back(ScriptedMessage{1000, WM_KEYDOWN, VK_ESCAPE});
  EXPECT_EQ(Run(""), 0);
  // Escape, pressed while the picture stood, is taken before the first frame of slot 0.
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].slot, -1);
  EXPECT_GE(static_cast<std::uint32_t>(SlotTable[0].start - shown[0].now), 2000u);
  EXPECT_TRUE(backend.boxes.empty());

  // The picture is the package's "load.raw", grey, in the display's rows 52 to 331.
  std::uint8_t* grey = LoadRaw8Screen("load.raw");
  int wrong = 0;
  for (int row = 0; row < 384; ++row) {
    for (int x = 0; x < 512; ++x) {
      const std::uint8_t* pixel = firstPicture.data() + row * firstPitch + 4 * x;
      const std::uint8_t expected = row >= 52 && row < 332 ? grey[(row - 52) * 512 + x] : 0;
      wrong += pixel[0] != expected || pixel[1] != expected || pixel[2] != expected;
    }
  }
  EXPECT_EQ(wrong, 0);
  std::free(grey);
}

TEST_F(HeadlessRunTest, WholeTimelineRunsToTheEndAndShutsDownByItself) {
  // A frame every 20 minutes of virtual time: every slot but the last is one frame long.
  backend.frameStepMicroseconds = 1200u * 1000u * 1000u;
  EXPECT_EQ(Run(""), 0);
  std::vector<int> slots;
  for (const Shown& s : shown)
    if (s.slot >= 0 && (slots.empty() || slots.back() != s.slot)) slots.push_back(s.slot);
  const std::vector<int> expected{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  EXPECT_EQ(slots, expected);
  // Slot 13 lasts 20,000,000 ms: 16.7 frames of 1,200,000 ms, so 17 frames, then shut-down.
  int lastSlotFrames = 0;
  for (const Shown& s : shown) lastSlotFrames += s.slot == 13;
  EXPECT_EQ(lastSlotFrames, 17);
  EXPECT_TRUE(backend.windowPopup);
  EXPECT_EQ(backend.windowTitle, "KALETH by Orvalis");
}

TEST_F(HeadlessRunTest, SlotStartsDriftByAtMostOneFrame) {
  backend.frameStepMicroseconds = 16667;
  backend.script.push_back(ScriptedMessage{140000, WM_KEYDOWN, VK_ESCAPE});
  backend.scriptClock = [this] {
    return WhereIs(backend.Milliseconds()).timelineMs;
  };
  std::vector<std::uint32_t> starts(kSlotCount, 0);
  EXPECT_EQ(Run(""), 0);
  // Find the first frame of each slot and compare its time with the nominal start.
  std::uint32_t first = 0;
  int previous = -1;
  for (const Shown& s : shown) {
    if (s.slot < 0 || s.slot == previous) continue;
    if (s.slot == 0) first = s.now;
    const std::uint32_t at = s.now - first;
    EXPECT_GE(at, Schedule()[s.slot].startMs) << "slot " << s.slot;
    EXPECT_LE(at, Schedule()[s.slot].startMs + static_cast<std::uint32_t>(s.slot + 1) * 17) << "slot " << s.slot;
    previous = s.slot;
  }
  EXPECT_EQ(previous, 13);
}

TEST_F(HeadlessRunTest, EscapeEndsTheRunWithNoFrameAfterIt) {
  backend.scriptClock = [this] { return static_cast<std::int64_t>(backend.ElapsedMilliseconds()); };
  backend.script.push_back(ScriptedMessage{5000, WM_KEYDOWN, VK_ESCAPE});
  backend.script.push_back(ScriptedMessage{5000, WM_KEYDOWN, VK_ESCAPE});
  EXPECT_EQ(Run("-window"), 0);
  ASSERT_FALSE(shown.empty());
  EXPECT_LE(backend.ElapsedMilliseconds(), 5017u);
  EXPECT_FALSE(backend.windowPopup);
  EXPECT_EQ(backend.windowTitle, "Tarn 2 : KALETH");
  EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(HeadlessRunTest, CloseBoxEndsTheRunAndF1FlipsTheFlag) {
  BeatFlagA = 1;
  backend.scriptClock = [this] { return static_cast<std::int64_t>(backend.ElapsedMilliseconds()); };
  backend.script.push_back(ScriptedMessage{3000, WM_KEYDOWN, VK_F1});
  backend.script.push_back(ScriptedMessage{4000, WM_CLOSE, 0});
  EXPECT_EQ(Run("-window"), 0);
  EXPECT_EQ(BeatFlagA, 0);
  EXPECT_FALSE(backend.windowExists) << "the default handling of the close box destroys the window";
  EXPECT_LE(backend.ElapsedMilliseconds(), 4017u);
}

TEST_F(HeadlessRunTest, FatalStartUpShowsItsBoxEndsWithZeroAndShowsNoFrame) {
  faults::Fail("IDirectDraw4::CreateSurface", 1);
  EXPECT_EQ(Run(""), 0);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, "unable to create primary surface");
  EXPECT_EQ(backend.boxes[0].caption, "[- Tarn 2.0 error window -]");
  EXPECT_TRUE(shown.empty());
}

TEST_F(HeadlessRunTest, TwentyFourBitOnlyDisplayRunsAtTwentyFour) {
  DirectDrawSettings().modeDepths = {24};
  backend.scriptClock = [this] { return static_cast<std::int64_t>(backend.ElapsedMilliseconds()); };
  backend.script.push_back(ScriptedMessage{3000, WM_KEYDOWN, VK_ESCAPE});
  std::vector<int> depths;
  backend.onPresent = [&](const FrameView& frame, std::uint32_t) { depths.push_back(frame.bitsPerPixel); };
  std::string line;
  EXPECT_EQ(WinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT), 0);
  ASSERT_FALSE(depths.empty());
  for (int depth : depths) EXPECT_EQ(depth, 24);
}

}  // namespace
