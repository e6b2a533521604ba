// The real entry on the headless backend with the heap giving out at one allocation of the
// start-up: the tables, the canvas, a picture of a scene.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/canvas.h"
#include "core/tables.h"
#include "tests/support/headless.h"

namespace {

using AllocationFailureRunTest = HeadlessTest;

TEST_F(AllocationFailureRunTest, EndsWithTheBoxAndZeroAndDrawsNothingAfterIt) {
  struct Case {
    unsigned allocation;
    bool windowOwnsTheBox;
    int framesBefore;
  } cases[] = {
      {1, false, 0},  // the sine table, before the window exists
      {3, true, 0},   // the canvas, after the tables, right after the display opened
      // Tables, canvas, package directory, the loading picture's two buffers, the module, the
      // bulging cube's six arrays: the fourteenth is the cube's texture picture.
      {14, true, 1},
  };
  std::uint32_t* const canvas = Canvas;
  for (const Case& c : cases) {
    // Each case is a fresh run of the program.
    SetUp();
    backend.boxes.clear();
    FreeTables();
    Canvas = nullptr;
    faults::Fail("CheckedAlloc", c.allocation);
    int before = 0, after = 0;
    backend.onPresent = [&](const FrameView&, std::uint32_t) { ++(backend.boxes.empty() ? before : after); };
    std::string line;
    EXPECT_EQ(WinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT), 0);
    ASSERT_EQ(backend.boxes.size(), 1u) << c.allocation;
    EXPECT_EQ(backend.boxes[0].text, "Not enough memory dude! (hehehe)");
    EXPECT_EQ(backend.boxes[0].caption, "[- Tarn 2.0 error window -]");
    EXPECT_EQ(backend.boxes[0].owned, c.windowOwnsTheBox) << c.allocation;
    EXPECT_EQ(before, c.framesBefore) << c.allocation;
    EXPECT_EQ(after, 0) << c.allocation;
    EXPECT_EQ(CountQuits(), 1);
    EXPECT_EQ(SinTable == nullptr, c.allocation == 1);
    EXPECT_EQ(Canvas == nullptr, c.allocation <= 3);
    std::free(Canvas);
  }
  FreeTables();
  Canvas = canvas;
}

}  // namespace
