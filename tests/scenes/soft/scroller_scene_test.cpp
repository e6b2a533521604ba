// The end scroller of slot 13: the text rows it shows, and the background beside them.
#include "scenes/soft/scroller_scene.h"
#include "tests/scenes/soft/expected_frames.h"

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

  Picture background, text;
};

TEST_F(ScrollerTest, TextMovesOneRowEvery25MsAndStopsAtRow800) {
  for (std::uint32_t a : {0u, 24u, 25u, 18001u, 19999u, 20000u, 20025u, 19999999u, 0xFFFFFFFFu}) {
    DrawScrollerFrame(a, canvas.data());
    const Picture expected = ExpectedScrollerFrame(background.data(), text.data(), a);
    EXPECT_TRUE(SameFrame(expected.data(), canvas.data())) << "a = " << a;
  }
  // The frozen text: rows 800 to 1079 at the left, the background beside them.
  DrawScrollerFrame(25000, canvas.data());
  EXPECT_EQ(canvas[0], text[800 * 320]);
  EXPECT_EQ(canvas[279 * kCanvasWidth + 319], text[1079 * 320 + 319]);
  EXPECT_EQ(canvas[279 * kCanvasWidth + 320], background[279 * kCanvasWidth + 320]);
}

TEST_F(ScrollerTest, BlackTextPixelsReplaceTheBackgroundToo) {
  std::fill(text.begin(), text.end(), 0u);
  DrawScrollerFrame(1000, canvas.data());
  for (int y = 0; y < kCanvasHeight; ++y) ASSERT_EQ(canvas[y * kCanvasWidth + 100], 0u);
}

}  // namespace
