// The four-centre tunnel field of slots 6 and 8: its tables, its centres and its pixels.
#include <algorithm>

#include "scenes/soft/tunnel_field_scene.h"
#include "tests/scenes/soft/expected_frames.h"

namespace {

using namespace soft_test;

constexpr int kRows = 560, kColumns = 1024;

class TunnelFieldTest : public SoftSceneTest {
 protected:
  void SetUp() override {
    SoftSceneTest::SetUp();
    texture = RandomPicture(256 * 256, 1);
    depth.assign(kRows * kColumns, 0);
    angle.assign(kRows * kColumns, 0);
    TunnelField = TunnelFieldScene{texture.data(), depth.data(), angle.data()};
    FillTunnelFieldTables();
  }
  void TearDown() override {
    TunnelField = TunnelFieldScene{};
    SoftSceneTest::TearDown();
  }

  Picture ExpectedFrame(std::uint32_t a) const { return ExpectedFieldFrame(texture.data(), depth, angle, a); }

  Picture texture;
  std::vector<std::int32_t> depth, angle;
};

TEST_F(TunnelFieldTest, TablesFollowTheDepthAndAngleFormulas) {
  Table formulaDepth, formulaAngle;
  FormulaFieldTables(&formulaDepth, &formulaAngle);
  EXPECT_TRUE(depth == formulaDepth);
  EXPECT_TRUE(angle == formulaAngle);
  // The centre, and the angles straight below, right, above and left of it.
  EXPECT_EQ(depth[280 * kColumns + 512], 15000);
  EXPECT_EQ(angle[280 * kColumns + 512], 0);
  EXPECT_EQ(angle[500 * kColumns + 512], 0);
  EXPECT_EQ(angle[280 * kColumns + 1000], 128);
  EXPECT_EQ(angle[0 * kColumns + 512], 256);
  EXPECT_EQ(angle[280 * kColumns + 0], -128);
  EXPECT_EQ(*std::min_element(angle.begin(), angle.end()), -255);
  EXPECT_EQ(*std::max_element(angle.begin(), angle.end()), 256);
}

TEST_F(TunnelFieldTest, CentresAtTimeZeroAndEveryShiftStaysInsideTheTables) {
  FieldShift shifts[kFieldCentres];
  ComputeFieldShifts(0, shifts);
  const int expected[4][2] = {{279, 256}, {140, 511}, {0, 256}, {279, 256}};
  for (int i = 0; i < kFieldCentres; ++i) {
    EXPECT_EQ(shifts[i].y, expected[i][0]) << "centre " << i + 1;
    EXPECT_EQ(shifts[i].x, expected[i][1]) << "centre " << i + 1;
  }
  // a / 8 runs through all 1024 table angles by a = 8192, and a / 2 and a / 4 with it.
  for (std::uint32_t a = 0; a < 8192; ++a) {
    ComputeFieldShifts(a, shifts);
    const auto formula = ExpectedFieldShifts(a);
    for (int i = 0; i < kFieldCentres; ++i) {
      ASSERT_EQ(shifts[i].y, formula[i].first) << "a = " << a << ", centre " << i + 1;
      ASSERT_EQ(shifts[i].x, formula[i].second) << "a = " << a << ", centre " << i + 1;
      ASSERT_GE(shifts[i].y, 0);
      ASSERT_LE(shifts[i].y, 279);
      ASSERT_GE(shifts[i].x, 1);
      ASSERT_LE(shifts[i].x, 511);
    }
  }
}

TEST_F(TunnelFieldTest, WholeFramesFollowTheFormulasOnBothPaths) {
  // Slot 6's first frames, its end, the first frame of slot 8 (time from slot 7's start), and
  // times far into the table angles.
  ExpectFramesOnBothPaths({0u, 3u, 500u, 1000u, 5001u, 123457u, 0xFFFFFFFFu}, DrawTunnelFieldFrame,
                          [this](std::uint32_t a) { return ExpectedFrame(a); });
}

TEST_F(TunnelFieldTest, PixelsNearACentreAreBlackAndFarOnesKeepTheTexture) {
  DrawTunnelFieldFrame(0, canvas.data(), PixelPath::kPacked);
  // Centres 1 and 4 sit on row 1, column 256 at a = 0: a depth sum far above 893.
  EXPECT_EQ(canvas[1 * kCanvasWidth + 256], 0u);
  int lit = 0;
  for (std::uint32_t pixel : canvas) lit += pixel != 0;
  EXPECT_GT(lit, kCanvasWidth * kCanvasHeight / 2);
}

TEST_F(TunnelFieldTest, ShadeTurnsFullyDarkFromASumOf893) {
  // Tables of one constant value: every pixel sees the sum 4 v. The texture is white, so each
  // byte shows 255 - shade.
  std::fill(texture.begin(), texture.end(), 0x00FFFFFFu);
  // 4 * 223 = 892 leaves one step of light; 4 * 224 = 896 is black.
  for (int v : {0, 1, 222, 223, 224, 300}) {
    std::fill(depth.begin(), depth.end(), v);
    for (PixelPath path : {PixelPath::kScalar, PixelPath::kPacked}) {
      DrawTunnelFieldFrame(77, canvas.data(), path);
      const int shade = std::min(2 * 4 * v / 7, 255);
      EXPECT_EQ(canvas[12345], Pixel(255 - shade, 255 - shade, 255 - shade)) << "sum " << 4 * v;
    }
  }
}

TEST_F(TunnelFieldTest, PackedAndScalarPathsAgreeOverEveryDepthSum) {
  // Tables of arbitrary values, so the sums cover 0 to about 4000 and the angle sums both signs.
  std::mt19937 random(99);
  for (std::int32_t& d : depth) d = static_cast<std::int32_t>(random() % 1000);
  for (std::int32_t& g : angle) g = static_cast<std::int32_t>(random() % 513) - 256;
  ExpectPathsAgree(20000, 211, DrawTunnelFieldFrame);
  const Picture expected = ExpectedFrame(4321);
  DrawTunnelFieldFrame(4321, canvas.data(), PixelPath::kPacked);
  EXPECT_TRUE(SameFrame(expected.data(), canvas.data()));
}

}  // namespace
