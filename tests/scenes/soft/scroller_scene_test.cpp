// The end scroller of slot 13: the text rows it shows, and the background beside them.
#include "scenes/soft/scroller_scene.h"
#include "tests/scenes/soft/soft_scene_test.h"

namespace {

using namespace soft_test;

class ScrollerTest : public SoftSceneTest {
 protected:
  void SetUp() override {
    SoftSceneTest::SetUp();
    background = RandomPicture(kCanvasWidth * kCanvasHeight, 4);
    text = RandomGreyPicture(320 * 1120, 13);
    Scroller = ScrollerScene{background.data(), text.data()};
  }
  void TearDown() override {
    Scroller = ScrollerScene{};
    SoftSceneTest::TearDown();
  }

  // Checks the whole canvas for text rows from `firstRow` and the background beside them.
  void ExpectTextFrom(int firstRow) {
    for (int y = 0; y < kCanvasHeight; ++y) {
      for (int x = 0; x < kCanvasWidth; ++x) {
        const std::uint32_t expected = x < 320 ? text[(firstRow + y) * 320 + x] : background[y * kCanvasWidth + x];
        ASSERT_EQ(canvas[y * kCanvasWidth + x], expected) << "first row " << firstRow << ", at " << y << "," << x;
      }
    }
  }

  Picture background, text;
};

TEST_F(ScrollerTest, TextMovesOneRowEvery25MsAndStopsAtRow800) {
  const std::pair<std::uint32_t, int> cases[] = {
      {0, 0},      {24, 0},     {25, 1},       {18001, 720},     {19999, 799},
      {20000, 800}, {20025, 800}, {19999999, 800}, {0xFFFFFFFFu, 800}};
  for (const auto& [a, firstRow] : cases) {
    DrawScrollerFrame(a, canvas.data());
    ExpectTextFrom(firstRow);
  }
}

TEST_F(ScrollerTest, BlackTextPixelsReplaceTheBackgroundToo) {
  std::fill(text.begin(), text.end(), 0u);
  DrawScrollerFrame(1000, canvas.data());
  for (int y = 0; y < kCanvasHeight; ++y) ASSERT_EQ(canvas[y * kCanvasWidth + 100], 0u);
}

}  // namespace
