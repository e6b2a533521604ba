// The sine warp of slots 1 and 10: expected pixels from the formulas, and both paths alike.
#include <algorithm>

#include "scenes/soft/warp_scene.h"
#include "tests/scenes/soft/soft_scene_test.h"

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

  // Where the text's top-left corner is at time a: (row, column).
  static std::pair<int, int> TextCorner(std::uint32_t a) {
    const double angle = static_cast<double>(static_cast<std::uint32_t>(2 * a));
    return {Trunc(10 * std::fabs(std::cos(angle))), Trunc(10 * std::fabs(std::sin(angle)))};
  }

  std::uint32_t Expected(std::uint32_t a, unsigned number, int y, int x) const {
    const Picture& texture = number <= 3 ? texture5 : texture6;
    const int p = Trunc(-150 * Sin(a / 3 + x));
    const int q = Trunc(-100 * Cos(a / 4 + y));
    const std::uint32_t texel = texture[Low8(y - p) * 256 + Low8(x - q)];
    const std::uint32_t under = overlay[y * kCanvasWidth + x];
    int bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = (Byte(texel, i) + Byte(under, i)) / 2;
    if (number > 3) {
      const auto [top, left] = TextCorner(a);
      if (y >= top && y < top + 80 && x >= left && x < left + 200) {
        const std::uint32_t text = texts[std::min<std::uint32_t>(a / 1500, 5)][(y - top) * 200 + x - left];
        for (int i = 0; i < 4; ++i) bytes[i] = std::min(255, bytes[i] + Byte(text, i));
      }
    }
    return Pixel(bytes[0], bytes[1], bytes[2], bytes[3]);
  }

  void ExpectFrame(std::uint32_t a, unsigned number, PixelPath path) {
    DrawWarpFrame(a, number, canvas.data(), path);
    Picture expected(canvas.size());
    for (int y = 0; y < kCanvasHeight; ++y)
      for (int x = 0; x < kCanvasWidth; ++x) expected[y * kCanvasWidth + x] = Expected(a, number, y, x);
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

TEST_F(WarpSceneTest, WholeFramesFollowTheFormulasOnBothPathsInBothSlots) {
  for (PixelPath path : {PixelPath::kScalar, PixelPath::kPacked}) {
    for (std::uint32_t a : {0u, 1u, 2999u, 4999u, 5001u}) ExpectFrame(a, kSlot1Number, path);
    // Slot 10, the first frame after the switch (time from slot 9's start), the text switches,
    // the clamp at the sixth text, and a time whose doubled angle wraps past 2^32.
    for (std::uint32_t a : {5005u, 5999u, 6000u, 7499u, 7500u, 11999u, 0x80000123u}) ExpectFrame(a, kSlot10Number, path);
  }
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
  const auto [top, left] = TextCorner(9000);
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
    for (std::uint32_t a = 0; a < 13000; a += 173) {
      DrawWarpFrame(a, number, canvas.data(), PixelPath::kScalar);
      DrawWarpFrame(a, number, other.data(), PixelPath::kPacked);
      ASSERT_TRUE(SameFrame(canvas.data(), other.data())) << "a = " << a << ", number " << number;
    }
  }
}

}  // namespace
