// Slot 11 in the real run: the framed tunnel from the package's pictures, blurred while the beat
// flag is set and plain after F1, the bottom rows of the picture left black, every frame as the
// one-pixel-at-a-time path draws it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/session.h"
#include "music/beat_flags.h"
#include "core/canvas.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "scenes/soft/framed_tunnel.h"
#include "tests/support/headless.h"

namespace {

constexpr unsigned kTunnelSlot = 11;

std::vector<std::uint32_t> expected(kCanvasWidth * kCanvasHeight);
bool beatWhenDrawn = false;

// Draws the slot as the schedule does, then the same frame on the scalar path for comparison.
void RenderAndExpect(std::uint32_t elapsed, std::uint32_t* canvas) {
  RenderFramedTunnel(elapsed, canvas);
  beatWhenDrawn = BeatFlagA != 0;
  std::fill(expected.begin(), expected.end(), 0u);
  PaintFramedTunnel(elapsed, expected.data(), PixelPath::kScalar);
}

class FramedTunnelRunTest : public HeadlessTest {};

TEST_F(FramedTunnelRunTest, SlotElevenShowsTheFramedTunnelBlurredWhileTheBeatFlagIsSet) {
  BeatFlagA = 1;
  backend.frameStepMicroseconds = 125000;
  backend.scriptClock = [] {
    return WhereIs(timeGetTime()).timelineMs;
  };
  // F1 flips the flag twice inside the slot; the music may flip it too.
  backend.script.push_back(ScriptedMessage{100000, WM_KEYDOWN, VK_F1});
  backend.script.push_back(ScriptedMessage{104000, WM_KEYDOWN, VK_F1});
  backend.script.push_back(ScriptedMessage{108000, WM_KEYDOWN, VK_ESCAPE});
  int frames = 0, blurred = 0;
  backend.onPresent = [&](const FrameView& frame, std::uint32_t) {
    if (!Playing) return;
    SlotTable[kTunnelSlot].render = RenderAndExpect;
    if (WhereIs(timeGetTime()).slot != static_cast<int>(kTunnelSlot)) return;
    ++frames;
    blurred += beatWhenDrawn;
    ASSERT_EQ(frame.bitsPerPixel, 32);
    for (int row = 0; row < kCanvasHeight; ++row) {
      const std::uint8_t* shown = frame.pixels + static_cast<std::ptrdiff_t>(52 + row) * frame.pitch;
      ASSERT_EQ(std::memcmp(shown, expected.data() + row * kCanvasWidth, kCanvasWidth * 4), 0)
          << "frame " << frames << ", picture row " << row;
    }
    // The frames at rows 0-49 and 227-276 are the package's pictures, not black.
    EXPECT_NE(expected[10 * kCanvasWidth + 100] | expected[250 * kCanvasWidth + 100], 0u);
    for (int i = 277 * kCanvasWidth; i < kCanvasHeight * kCanvasWidth; ++i) ASSERT_EQ(expected[i], 0u);
  };
  std::string commandLine;
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT), 0);
  EXPECT_GT(frames, 80);
  EXPECT_GT(blurred, 10);
  EXPECT_GT(frames - blurred, 10);
}

}  // namespace
