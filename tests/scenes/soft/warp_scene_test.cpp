// The sine warp of slots 1 and 10: expected pixels from the formulas, and both paths alike.
#include <algorithm>

#include "scenes/soft/warp_scene.h"
#include "tests/scenes/soft/expected_frames.h"
#include "tests/support/worker_threads.h"

namespace {

using namespace soft_test;

constexpr unsigned kSlot1Number = 2;
constexpr unsigned kSlot10Number = 11;

class WarpSceneTest : public SoftSceneTest {
 protected:
  void SetUp() override {
    SoftSceneTest::SetUp();
    texture5 = RandomPicture(256 * 256, 5);
    texture6 = RandomPicture(256 * 256, 6);
    overlay = RandomPicture(kCanvasWidth * kCanvasHeight, 7);
    Warp.texture5 = texture5.data();
    Warp.texture6 = texture6.data();
    Warp.overlay = overlay.data();
    for (int i = 0; i < kWarpTextCount; ++i) {
      texts[i] = RandomGreyPicture(200 * 80, 10 + i);
      Warp.texts[i] = texts[i].data();
    }
  }
  void TearDown() override {
    Warp = WarpScene{};
    SoftSceneTest::TearDown();
  }

  void ExpectFrame(std::uint32_t a, unsigned number, PixelPath path) {
    DrawWarpFrame(a, number, canvas.data(), path);
    WarpPictures pictures{texture5.data(), texture6.data(), overlay.data(), {}};
    for (int i = 0; i < kWarpTextCount; ++i) pictures.texts[i] = texts[i].data();
    const Picture expected = ExpectedWarpFrame(pictures, a, number);
    EXPECT_TRUE(SameFrame(expected.data(), canvas.data())) << "a = " << a << ", number " << number;
  }

  Picture texture5, texture6, overlay;
  Picture texts[kWarpTextCount];
};

TEST_F(WarpSceneTest, FirstFrameOfSlot1ShowsTexelRow0Column100AtTheCorner) {
  DrawWarpFrame(0, kSlot1Number, canvas.data(), PixelPath::kScalar);
  // p = 0 at column 0 and q = -100 at row 0: texel (0, 100), averaged byte by byte.
  const std::uint32_t texel = texture5[100], under = overlay[0];
  EXPECT_EQ(canvas[0], Pixel((Byte(texel, 0) + Byte(under, 0)) / 2, (Byte(texel, 1) + Byte(under, 1)) / 2,
                             (Byte(texel, 2) + Byte(under, 2)) / 2));
}

TEST_F(WarpSceneTest, WholeFramesFollowTheFormulasOnBothPathsInBothSlotsAtAnyThreadCount) {
  AtEveryThreadCount([&](int) {
    for (PixelPath path : {PixelPath::kScalar, PixelPath::kPacked}) {
      for (std::uint32_t a : {0u, 1u, 2999u, 4999u, 5001u}) ExpectFrame(a, kSlot1Number, path);
      // Slot 10, the first frame after the switch (time from slot 9's start), the text switches,
      // the clamp at the sixth text, and a time whose doubled angle wraps past 2^32.
      for (std::uint32_t a : {5005u, 5999u, 6000u, 7499u, 7500u, 11999u, 0x80000123u})
        ExpectFrame(a, kSlot10Number, path);
    }
  });
}

TEST_F(WarpSceneTest, TheTimelineNumberChoosesTextureAndText) {
  // Number 3 still counts as the first slot: texture5 and no text.
  ExpectFrame(4000, 3, PixelPath::kPacked);
  ExpectFrame(4000, 4, PixelPath::kPacked);
  DrawWarpFrame(4000, 3, canvas.data(), PixelPath::kPacked);
  DrawWarpFrame(4000, 4, other.data(), PixelPath::kPacked);
  EXPECT_FALSE(SameFrame(canvas.data(), other.data()));
}

TEST_F(WarpSceneTest, BlackTextLeavesTheCanvasAndWhiteTextMakesItWhite) {
  // With one texture for both slots, slot 10 differs from slot 1 by its text alone.
  Warp.texture6 = texture5.data();
  for (int i = 0; i < kWarpTextCount; ++i) std::fill(texts[i].begin(), texts[i].end(), 0u);
  DrawWarpFrame(9000, kSlot1Number, other.data(), PixelPath::kPacked);
  DrawWarpFrame(9000, kSlot10Number, canvas.data(), PixelPath::kPacked);
  EXPECT_TRUE(SameFrame(other.data(), canvas.data()));

  std::fill(texts[5].begin(), texts[5].end(), 0x00FFFFFFu);
  DrawWarpFrame(9000, kSlot10Number, canvas.data(), PixelPath::kScalar);
  const auto [top, left] = WarpTextCorner(9000);
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      const bool inText = y >= top && y < top + 80 && x >= left && x < left + 200;
      if (inText) ASSERT_EQ(canvas[y * kCanvasWidth + x], 0x00FFFFFFu) << y << "," << x;
      else ASSERT_EQ(canvas[y * kCanvasWidth + x], other[y * kCanvasWidth + x]) << y << "," << x;
    }
  }
}

TEST_F(WarpSceneTest, PackedAndScalarPathsGiveTheSameFramesAcrossBothSlots) {
  for (unsigned number : {kSlot1Number, kSlot10Number}) {
    SCOPED_TRACE(number);
    ExpectPathsAgree(13000, 173, [number](std::uint32_t a, std::uint32_t* to, PixelPath path) {
      DrawWarpFrame(a, number, to, path);
    });
  }
}

}  // namespace
