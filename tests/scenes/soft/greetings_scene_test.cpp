// The greetings over the rotating tunnel of slot 12: tables, cross-fade, tunnel and greetings.
#include <algorithm>

#include "scenes/soft/greetings_scene.h"
#include "tests/scenes/soft/soft_scene_test.h"

namespace {

using namespace soft_test;

class GreetingsTest : public SoftSceneTest {
 protected:
  void SetUp() override {
    SoftSceneTest::SetUp();
    texture1 = RandomPicture(256 * 256, 1);
    texture5 = RandomPicture(256 * 256, 5);
    blend.assign(256 * 256, 0xDEADBEEFu);
    depth.assign(kCanvasWidth * kCanvasHeight, 0);
    angle.assign(kCanvasWidth * kCanvasHeight, 0);
    Greetings.depth = depth.data();
    Greetings.angle = angle.data();
    Greetings.texture1 = texture1.data();
    Greetings.texture5 = texture5.data();
    Greetings.blend = blend.data();
    for (int i = 0; i < kGreetingCount; ++i) {
      // Greeting pictures with plenty of transparent black.
      greetings[i] = RandomGreyPicture(256 * 256, 20 + i);
      for (std::size_t p = 0; p < greetings[i].size(); p += 3) greetings[i][p] = 0;
      Greetings.greetings[i] = greetings[i].data();
    }
    FillGreetingsTables();
  }
  void TearDown() override {
    Greetings = GreetingsScene{};
    SoftSceneTest::TearDown();
  }

  struct Placement {
    int picture, w;
    std::uint32_t step;
  };
  static Placement ExpectedPlacement(std::uint32_t a) {
    const int w = Trunc(256 / (std::fabs(7 * Sin(a / 3)) + 2));
    return {static_cast<int>(std::min<std::uint32_t>(a / 2000, 8)), w, (1u << 24) / static_cast<std::uint32_t>(2 * w - 1)};
  }

  std::uint32_t BlendTexel(std::uint32_t a, int index) const {
    const int m = Trunc(127 * Sin(a / 2) + 128);
    const std::uint32_t t1 = texture1[index], t5 = texture5[index];
    return Pixel((Byte(t1, 0) * (255 - m) + Byte(t5, 0) * m) >> 8, (Byte(t1, 1) * (255 - m) + Byte(t5, 1) * m) >> 8,
                 (Byte(t1, 2) * (255 - m) + Byte(t5, 2) * m) >> 8);
  }

  Picture ExpectedFrame(std::uint32_t a) const {
    const int turn = Trunc(300 * std::cos(a / 1000.0) + 200);
    const int advance = Low8(2 * (a / 8));
    const Placement place = ExpectedPlacement(a);
    Picture frame(kCanvasWidth * kCanvasHeight);
    for (int y = 0; y < kCanvasHeight; ++y) {
      for (int x = 0; x < kCanvasWidth; ++x) {
        const int d = depth[y * kCanvasWidth + x], g = angle[y * kCanvasWidth + x];
        const std::uint32_t texel = BlendTexel(a, Low8(d + advance) * 256 + Low8(g + turn));
        const int shade = std::min(d, 255);
        std::uint32_t pixel = Pixel(std::max(Byte(texel, 0) - shade, 0), std::max(Byte(texel, 1) - shade, 0),
                                    std::max(Byte(texel, 2) - shade, 0));
        const int i = y - (140 - place.w), j = x - (256 - place.w);
        if (i >= 0 && i < 2 * place.w && j >= 0 && j < 2 * place.w) {
          const std::uint32_t source =
              greetings[place.picture][((i * place.step) >> 16) * 256 + ((j * place.step) >> 16)];
          if (source != 0) pixel = source;
        }
        frame[y * kCanvasWidth + x] = pixel;
      }
    }
    return frame;
  }

  Picture texture1, texture5, blend;
  std::vector<std::int32_t> depth, angle;
  Picture greetings[kGreetingCount];
};

TEST_F(GreetingsTest, TablesFollowTheDepthAndAngleFormulas) {
  for (int r = 0; r < kCanvasHeight; ++r) {
    for (int c = 0; c < kCanvasWidth; ++c) {
      const double y = r - 139.5, x = c - 255.5;
      ASSERT_EQ(depth[r * kCanvasWidth + c], Trunc(7000 / (std::sqrt(x * x + y * y) + 1))) << r << "," << c;
      ASSERT_EQ(angle[r * kCanvasWidth + c], Trunc(std::atan2(x, y) * 0.31830988614222805 * 256)) << r << "," << c;
    }
  }
  // Deepest at the four middle pixels, about 23 at the corners.
  EXPECT_EQ(depth[139 * kCanvasWidth + 255], 4100);
  EXPECT_EQ(*std::max_element(depth.begin(), depth.end()), 4100);
  EXPECT_EQ(depth[0], 23);
  EXPECT_EQ(depth[279 * kCanvasWidth + 511], 23);
  EXPECT_LE(*std::max_element(angle.begin(), angle.end()), 256);
  EXPECT_GE(*std::min_element(angle.begin(), angle.end()), -256);
}

TEST_F(GreetingsTest, GreetingChangesEveryTwoSecondsUpToTheNinth) {
  EXPECT_EQ(PlaceGreeting(0).picture, 0);
  EXPECT_EQ(PlaceGreeting(1999).picture, 0);
  EXPECT_EQ(PlaceGreeting(2000).picture, 1);
  EXPECT_EQ(PlaceGreeting(15999).picture, 7);
  // The first frame of slot 12 counts from slot 11's start, 15001 ms or more: "greet8.pcx".
  EXPECT_EQ(PlaceGreeting(15001).picture, 7);
  EXPECT_EQ(PlaceGreeting(16000).picture, 8);
  EXPECT_EQ(PlaceGreeting(18000).picture, 8);
  EXPECT_EQ(PlaceGreeting(0xFFFFFFFFu).picture, 8);
}

TEST_F(GreetingsTest, GreetingSizeAndStepFollowTheSineOfTheTime) {
  // sin[0] = 0: the largest greeting, 256 x 256 pixels with a step just over one.
  EXPECT_EQ(PlaceGreeting(0).halfSize, 128);
  EXPECT_EQ(PlaceGreeting(0).step, 65793u);
  // a / 3 = 256 is a quarter turn, |sin| = 1: the smallest, 56 x 56.
  EXPECT_EQ(PlaceGreeting(768).halfSize, 28);
  EXPECT_EQ(PlaceGreeting(768).step, (1u << 24) / 55);
  for (std::uint32_t a = 0; a < 18000; a += 3) {
    const GreetingPlacement placement = PlaceGreeting(a);
    const Placement expected = ExpectedPlacement(a);
    ASSERT_EQ(placement.halfSize, expected.w) << a;
    ASSERT_EQ(placement.step, expected.step) << a;
    ASSERT_GE(placement.halfSize, 28);
    ASSERT_LE(placement.halfSize, 128);
    // The last step lands inside the picture.
    ASSERT_LE(((2 * placement.halfSize - 1) * placement.step) >> 16, 255u) << a;
  }
}

TEST_F(GreetingsTest, WholeFramesFollowTheFormulasOnBothPaths) {
  // The largest and smallest greetings, the cross-fade at m = 128 (a = 0) and m = 255 (a = 512),
  // the greeting switch, the first frame after the switch from slot 11, a turn below zero
  // (cos(a / 1000) < -2 / 3 near a = 3142) and the end of the slot.
  for (std::uint32_t a : {0u, 512u, 768u, 1999u, 2000u, 3142u, 15001u, 16000u, 17999u}) {
    const Picture expected = ExpectedFrame(a);
    for (PixelPath path : {PixelPath::kScalar, PixelPath::kPacked}) {
      DrawGreetingsFrame(a, canvas.data(), path);
      EXPECT_TRUE(SameFrame(expected.data(), canvas.data())) << "a = " << a;
    }
  }
}

TEST_F(GreetingsTest, CrossFadeWeighsTheTwoTexturesByM) {
  // m = 255 at a = 512: (255 * texture5 byte) >> 8, one step below texture5 for every nonzero byte.
  DrawGreetingsFrame(512, canvas.data(), PixelPath::kPacked);
  for (int i = 0; i < 256 * 256; i += 97) {
    for (int b = 0; b < 3; ++b) {
      const int five = Byte(texture5[i], b);
      ASSERT_EQ(Byte(blend[i], b), five == 0 ? 0 : five - 1) << i;
    }
    ASSERT_EQ(Byte(blend[i], 3), 0);
  }
  // m = 128 at a = 0: 127 parts of texture1 and 128 of texture5.
  DrawGreetingsFrame(0, canvas.data(), PixelPath::kScalar);
  for (int i = 0; i < 256 * 256; i += 89) {
    for (int b = 0; b < 3; ++b) {
      ASSERT_EQ(Byte(blend[i], b), (Byte(texture1[i], b) * 127 + Byte(texture5[i], b) * 128) >> 8) << i;
    }
  }
}

TEST_F(GreetingsTest, BlackGreetingPixelsNeverCoverTheTunnel) {
  for (Picture& greeting : greetings) std::fill(greeting.begin(), greeting.end(), 0u);
  // Only a dark square in the middle of the second greeting is opaque.
  for (int r = 96; r < 160; ++r) std::fill_n(greetings[1].begin() + r * 256 + 96, 64, 0x00010101u);
  DrawGreetingsFrame(2100, canvas.data(), PixelPath::kPacked);
  const Picture expected = ExpectedFrame(2100);
  EXPECT_TRUE(SameFrame(expected.data(), canvas.data()));
  int covered = 0;
  for (std::uint32_t pixel : canvas) covered += pixel == 0x00010101u;
  // At least a quarter of the square's 64 x 64 at the smallest size, the tunnel everywhere else.
  const int side = 64 * ExpectedPlacement(2100).w / 128;
  EXPECT_GE(covered, (side - 2) * (side - 2));
  EXPECT_LE(covered, (side + 2) * (side + 2) + 50);
}

TEST_F(GreetingsTest, PackedAndScalarPathsGiveTheSameFramesAcrossTheSlot) {
  for (std::uint32_t a = 0; a < 19000; a += 97) {
    DrawGreetingsFrame(a, canvas.data(), PixelPath::kScalar);
    const Picture scalarBlend = blend;
    DrawGreetingsFrame(a, other.data(), PixelPath::kPacked);
    ASSERT_TRUE(SameFrame(canvas.data(), other.data())) << "a = " << a;
    ASSERT_EQ(scalarBlend, blend) << "a = " << a;
  }
}

}  // namespace
