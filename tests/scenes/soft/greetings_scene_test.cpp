// The greetings over the rotating tunnel of slot 12: tables, cross-fade, tunnel and greetings.
#include <algorithm>

#include "scenes/soft/greetings_scene.h"
#include "tests/scenes/soft/expected_frames.h"

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

  GreetingsPictures Pictures() const {
    GreetingsPictures pictures{texture1.data(), texture5.data(), {}};
    for (int i = 0; i < kGreetingCount; ++i) pictures.greetings[i] = greetings[i].data();
    return pictures;
  }
  Picture ExpectedFrame(std::uint32_t a) const { return ExpectedGreetingsFrame(Pictures(), depth, angle, a); }

  Picture texture1, texture5, blend;
  std::vector<std::int32_t> depth, angle;
  Picture greetings[kGreetingCount];
};

TEST_F(GreetingsTest, TablesFollowTheDepthAndAngleFormulas) {
  Table formulaDepth, formulaAngle;
  FormulaGreetingsTables(&formulaDepth, &formulaAngle);
  EXPECT_TRUE(depth == formulaDepth);
  EXPECT_TRUE(angle == formulaAngle);
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
    const ExpectedGreeting expected = ExpectedGreetingPlacement(a);
    ASSERT_EQ(placement.halfSize, expected.halfSize) << a;
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
  ExpectFramesOnBothPaths({0u, 512u, 768u, 1999u, 2000u, 3142u, 15001u, 16000u, 17999u}, DrawGreetingsFrame,
                          [this](std::uint32_t a) { return ExpectedFrame(a); });
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
  const int side = 64 * ExpectedGreetingPlacement(2100).halfSize / 128;
  EXPECT_GE(covered, (side - 2) * (side - 2));
  EXPECT_LE(covered, (side + 2) * (side + 2) + 50);
}

TEST_F(GreetingsTest, PackedAndScalarPathsGiveTheSameFramesAcrossTheSlot) {
  // The blend texture of each frame is compared as well as the frame.
  Picture scalarBlend;
  ExpectPathsAgree(19000, 97, [&](std::uint32_t a, std::uint32_t* to, PixelPath path) {
    DrawGreetingsFrame(a, to, path);
    if (path == PixelPath::kScalar) scalarBlend = blend;
    else ASSERT_EQ(scalarBlend, blend) << "a = " << a;
  });
}

}  // namespace
