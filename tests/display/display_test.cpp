#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/present.h"
#include "core/canvas.h"
#include "runtime/entry.h"
#include "core/errors.h"
#include "tests/support/headless.h"
#include "tests/support/main_window.h"

namespace {

class DisplayTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    canvas.assign(kCanvasBytes / 4, 0);
    Canvas = canvas.data();
  }
  void TearDown() override {
    ReleaseDisplay();
    HeadlessTest::TearDown();
  }

  void OpenWindow(bool windowed) {
    CreateMainWindow(windowed);
  }

  void Open(bool windowed) {
    OpenWindow(windowed);
    if (windowed) OpenWindowed();
    else OpenFullScreen();
  }

  // Opens the display and returns the text of the fatal box, or "" when it opened.
  std::string OpenExpectingFatal(bool windowed) {
    try {
      Open(windowed);
    } catch (const FatalErrorExit&) {
      EXPECT_EQ(DisplayInterface, nullptr) << "the display is released before the box";
      EXPECT_EQ(backend.boxes.back().caption, kErrorCaption);
      EXPECT_TRUE(backend.boxes.back().owned);
      return backend.boxes.back().text;
    }
    return "";
  }

  // The back buffer's bytes, read through the stand-in.
  const std::uint8_t* BackBytes() { return BackBuffer->Pixels(); }

  std::vector<std::uint32_t> canvas;
};

TEST_F(DisplayTest, EveryFullScreenFailureHasItsMessage) {
  struct Case {
    const char* operation;
    unsigned call;
    const char* message;
  } cases[] = {
      {"DirectDrawCreate", 1, "DirectDrawCreate FAILED"},
      {"IDirectDraw::QueryInterface", 1, "Couldn`t get a dd4 interface"},
      {"IDirectDraw4::SetCooperativeLevel", 1, "SetCooperativeLevel FAILED"},
      {"IDirectDraw4::CreateSurface", 1, "unable to create primary surface"},
      {"IDirectDrawSurface4::GetAttachedSurface", 1, "unable to get backbuffer"},
  };
  for (const Case& c : cases) {
    faults::Reset();
    ResetWindowsState();
    faults::Fail(c.operation, c.call);
    EXPECT_EQ(OpenExpectingFatal(false), c.message) << c.operation;
  }
}

TEST_F(DisplayTest, EveryWindowedFailureHasItsMessage) {
  struct Case {
    const char* operation;
    unsigned call;
    const char* message;
  } cases[] = {
      {"DirectDrawCreate", 1, "DirectDrawCreate FAILED"},
      {"IDirectDraw::QueryInterface", 1, "Couldn`t get a dd4 interface"},
      {"IDirectDraw4::SetCooperativeLevel", 1, "Setcooperative level (normal) FAILED"},
      {"IDirectDraw4::CreateSurface", 1, "Unable to create primary surface"},
      {"IDirectDraw4::CreateSurface", 2, "Unable to create backbuffer"},
      {"IDirectDrawSurface4::Lock", 1, "Unable to lock surface"},
      {"IDirectDrawSurface4::Unlock", 1, "Unable to unlock surface"},
  };
  for (const Case& c : cases) {
    faults::Reset();
    ResetWindowsState();
    faults::Fail(c.operation, c.call);
    EXPECT_EQ(OpenExpectingFatal(true), c.message) << c.operation << " call " << c.call;
  }
}

TEST_F(DisplayTest, ModeChoiceFallsBackFrom32To24To16AndThenGivesUp) {
  DirectDrawSettings().modeDepths = {24, 16};
  Open(false);
  EXPECT_EQ(DisplayDepth, 24u);
  EXPECT_EQ(BackBuffer->BitsPerPixel(), 24);
  ReleaseDisplay();
  ResetWindowsState();

  DirectDrawSettings().modeDepths = {16};
  Open(false);
  EXPECT_EQ(DisplayDepth, 16u);
  ReleaseDisplay();
  ResetWindowsState();

  DirectDrawSettings().modeDepths = {};
  EXPECT_EQ(OpenExpectingFatal(false), "Your gfx-card sucks!\nDemo will be terminated");
  EXPECT_EQ(DisplayDepth, 16u);
}

TEST_F(DisplayTest, WindowedDesktopMustBe32Or24Bits) {
  for (DWORD depth : {16u, 8u}) {
    ResetWindowsState();
    DirectDrawSettings().desktopDepth = depth;
    EXPECT_EQ(OpenExpectingFatal(true), "Well, that`s a weird mode..") << depth;
  }
  ResetWindowsState();
  DirectDrawSettings().desktopDepth = 24;
  Open(true);
  EXPECT_EQ(DisplayDepth, 24u);
}

TEST_F(DisplayTest, FullScreenHidesTheCursorAndWindowedLeavesIt) {
  Open(false);
  EXPECT_FALSE(backend.cursorShown);
  ReleaseDisplay();
  ResetWindowsState();
  backend.cursorShown = true;
  Open(true);
  EXPECT_TRUE(backend.cursorShown);
}

TEST_F(DisplayTest, ReleaseTwiceOrBeforeOpeningDoesNothing) {
  ReleaseDisplay();
  Open(false);
  ReleaseDisplay();
  EXPECT_EQ(DisplayInterface, nullptr);
  EXPECT_EQ(BackBuffer, nullptr);
  EXPECT_EQ(PrimarySurface, nullptr);
  ReleaseDisplay();
}

// Fills the canvas with a pattern whose every pixel differs, and the back buffer with 0xAB.
void FillPattern(std::vector<std::uint32_t>& canvas) {
  for (size_t i = 0; i < canvas.size(); ++i) canvas[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0x00FFFFFFu;
}

void PaintBackBuffer(std::uint8_t value) {
  LockBackBuffer();
  std::memset(SurfacePointer, value, static_cast<size_t>(SurfacePitch) * 384);
  UnlockBackBuffer();
}

TEST_F(DisplayTest, CopyCanvasPlacesPixelsAtEveryDepthAndLeavesTheBarsAlone) {
  FillPattern(canvas);
  for (int depth : {32, 24, 16}) {
    for (int padding : {0, 64}) {
      ResetWindowsState();
      DirectDrawSettings().modeDepths = {static_cast<DWORD>(depth)};
      DirectDrawSettings().pitchPadding = padding;
      Open(false);
      PaintBackBuffer(0xAB);
      CopyCanvas();
      const int pitch = BackBuffer->Pitch();
      const std::uint8_t* bytes = BackBytes();
      for (int row : {0, 51, 332, 383}) {
        for (int x : {0, 511}) EXPECT_EQ(bytes[row * pitch + x * depth / 8], 0xAB) << depth << " row " << row;
      }
      for (int r : {0, 1, 139, 279}) {
        for (int x : {0, 7, 300, 511}) {
          const std::uint32_t p = canvas[r * 512 + x];
          const std::uint8_t* at = bytes + (52 + r) * pitch + x * depth / 8;
          if (depth == 32) {
            std::uint32_t v;
            std::memcpy(&v, at, 4);
            EXPECT_EQ(v, p);
          } else if (depth == 24) {
            EXPECT_EQ(at[0], p & 0xFF);
            EXPECT_EQ(at[1], (p >> 8) & 0xFF);
            EXPECT_EQ(at[2], (p >> 16) & 0xFF);
          } else {
            const unsigned v = at[0] | at[1] << 8;
            EXPECT_EQ(v >> 11, ((p >> 16) & 0xFF) >> 3);
            EXPECT_EQ((v >> 5) & 63, ((p >> 8) & 0xFF) >> 2);
            EXPECT_EQ(v & 31, (p & 0xFF) >> 3);
          }
        }
      }
      ReleaseDisplay();
    }
  }
}

TEST_F(DisplayTest, CanvasCornerAt24BitsIsBlueGreenRed) {
  DirectDrawSettings().modeDepths = {24};
  Open(false);
  canvas[0] = 0x00112233;
  CopyCanvas();
  const std::uint8_t* row52 = BackBytes() + 52 * BackBuffer->Pitch();
  EXPECT_EQ(row52[0], 0x33);
  EXPECT_EQ(row52[1], 0x22);
  EXPECT_EQ(row52[2], 0x11);
}

TEST_F(DisplayTest, WindowedBackBufferStartsBlackAndFillsTheClientArea) {
  backend.clientWidth = 700;
  backend.clientHeight = 500;
  std::vector<std::uint32_t> shown;
  backend.onPresent = [&](const FrameView& frame, std::uint32_t) {
    ASSERT_EQ(frame.width, 700);
    ASSERT_EQ(frame.height, 500);
    shown.resize(700 * 500);
    for (int y = 0; y < 500; ++y) std::memcpy(&shown[y * 700], frame.pixels + y * frame.pitch, 700 * 4);
  };
  Open(true);
  for (int i = 0; i < 512 * 384; ++i) {
    std::uint32_t v;
    std::memcpy(&v, BackBytes() + i * 4, 4);
    ASSERT_EQ(v, 0u) << "pixel " << i;
  }
  std::fill(canvas.begin(), canvas.end(), 0x00FF8000u);
  CopyCanvas();
  PresentFrame();
  ASSERT_EQ(shown.size(), 700u * 500u);
  EXPECT_EQ(shown[0], 0u);                          // top bar
  EXPECT_EQ(shown[250 * 700 + 350], 0x00FF8000u);   // middle of the picture
  EXPECT_EQ(shown[499 * 700 + 699], 0u);            // bottom bar
}

TEST_F(DisplayTest, FailedBlitShowsItsMessageOnEveryFailingFrameAndGoesOn) {
  Open(true);
  faults::Fail("IDirectDrawSurface4::Blt", 2, 2);
  for (int frame = 0; frame < 5; ++frame) PresentFrame();
  ASSERT_EQ(backend.boxes.size(), 2u);
  for (const RecordedBox& box : backend.boxes) {
    EXPECT_EQ(box.text, "unable to blit");
    EXPECT_EQ(box.caption, kMessageCaption);
  }
  EXPECT_EQ(backend.framesPresented, 3u);
}

TEST_F(DisplayTest, FullScreenFlipShowsTheBackPageAndSwapsPages) {
  Open(false);
  std::fill(canvas.begin(), canvas.end(), 0x00010203u);
  CopyCanvas();
  std::uint32_t shownPixel = 0;
  backend.onPresent = [&](const FrameView& frame, std::uint32_t) {
    std::memcpy(&shownPixel, frame.pixels + 100 * frame.pitch, 4);
  };
  PresentFrame();
  EXPECT_EQ(shownPixel, 0x00010203u);
  std::uint32_t back;
  std::memcpy(&back, BackBytes() + 100 * BackBuffer->Pitch(), 4);
  EXPECT_NE(back, 0x00010203u) << "after a flip the back buffer is the previous front page";
}

TEST_F(DisplayTest, LostSurfaceEndsTheProgramOnTheNextLock) {
  Open(false);
  BackBuffer->MarkLost();
  try {
    CopyCanvas();
    FAIL();
  } catch (const FatalErrorExit&) {
  }
  EXPECT_EQ(backend.boxes.back().text, "Unable to lock surface");
}

}  // namespace
