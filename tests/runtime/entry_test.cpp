#include <gtest/gtest.h>

#include <cmath>

#include "display/display.h"
#include "music/beat_flags.h"
#include "runtime/entry.h"
#include "core/errors.h"
#include "core/tables.h"
#include "tests/support/headless.h"

namespace {

using EntryTest = HeadlessTest;

TEST(CommandLine, OnlyTheExactWordSelectsWindowedMode) {
  EXPECT_TRUE(IsWindowedCommandLine("-window"));
  for (const char* line : {"", "-Window", "-WINDOW", "-window ", "-window -x", " -window", "window", "-windowed"}) {
    EXPECT_FALSE(IsWindowedCommandLine(line)) << '"' << line << '"';
  }
  EXPECT_FALSE(IsWindowedCommandLine(nullptr));
}

TEST(Tables, FollowTheExtendedPrecisionFormula) {
  BuildTables();
  for (int i : {0, 1, 255, 256, 511, 512, 700, 768, 1023}) {
    // The step is held as a double; the angle is formed in extended precision.
    const long double angle = i * static_cast<long double>(6.283185308 / 1024);
    EXPECT_EQ(SinTable[i], static_cast<float>(sinl(angle))) << i;
    EXPECT_EQ(CosTable[i], static_cast<float>(cosl(angle))) << i;
  }
  EXPECT_EQ(SinTable[0], 0.0f);
  EXPECT_EQ(CosTable[0], 1.0f);
  EXPECT_NEAR(SinTable[256], 1.0f, 1e-7f);
  FreeTables();
  EXPECT_EQ(SinTable, nullptr);
  EXPECT_EQ(CosTable, nullptr);
}

TEST_F(EntryTest, F1TogglesBeatFlagAAndOtherKeysDoNothing) {
  BeatFlagA = 1;
  WindowProc(nullptr, WM_KEYDOWN, VK_F1, 0);
  EXPECT_EQ(BeatFlagA, 0);
  WindowProc(nullptr, WM_KEYDOWN, VK_F1, 0);
  EXPECT_EQ(BeatFlagA, 1);
  BeatFlagA = 7;
  WindowProc(nullptr, WM_KEYDOWN, VK_F1, 0);
  EXPECT_EQ(BeatFlagA, 0);
  WindowProc(nullptr, WM_KEYDOWN, 'A', 0);
  WindowProc(nullptr, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_EQ(BeatFlagA, 0);
  EXPECT_EQ(CountQuits(), 0);
}

TEST_F(EntryTest, ShutdownRunsOnceForEscapeTwiceOrCloseThenEscape) {
  BuildTables();
  WindowProc(nullptr, WM_CLOSE, 0, 0);
  WindowProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  WindowProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(CountQuits(), 1);
  EXPECT_EQ(SinTable, nullptr);
}

TEST_F(EntryTest, FatalErrorBeforeTheWindowHasNoOwnerAndPostsQuit) {
  MainWindow = nullptr;
  try {
    FatalError("Not enough memory dude! (hehehe)");
    FAIL() << "FatalError returned";
  } catch (const FatalErrorExit&) {
  }
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, "Not enough memory dude! (hehehe)");
  EXPECT_EQ(backend.boxes[0].caption, "[- Tarn 2.0 error window -]");
  EXPECT_FALSE(backend.boxes[0].owned);
  EXPECT_EQ(CountQuits(), 1);
}

TEST_F(EntryTest, ExhaustedHeapIsFatalAndShowMessageGoesOn) {
  EXPECT_THROW(CheckedAlloc(static_cast<std::size_t>(-1) / 2), FatalErrorExit);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, kOutOfMemoryMessage);
  void* canvas = CheckedAlloc(0x8c000);
  EXPECT_NE(canvas, nullptr);
  std::free(canvas);
  ShowMessage("unable to blit");
  ASSERT_EQ(backend.boxes.size(), 2u);
  EXPECT_EQ(backend.boxes[1].caption, "[- Tarn 2.0 msg window -]");
}

}  // namespace
