#include "scenes/soft/floor_and_ceiling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/canvas.h"
#include "core/tables.h"
#include "tests/scenes/soft/coded_texture.h"

namespace {

constexpr std::uint32_t kFar = std::numeric_limits<std::int32_t>::max();

class FloorAndCeilingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildTables();
    AllocateRayGrid(FloorAndCeiling.grid, kPlaneGridRows);
    FloorAndCeiling.texture = texture.data();
  }
  void TearDown() override {
    FreeRayGrid(FloorAndCeiling.grid);
    FloorAndCeiling = FloorAndCeilingScene{};
    FreeTables();
  }

  std::uint32_t Node(const std::uint32_t* values, int y, int x) { return values[RayGridIndex(y, x)]; }

  std::vector<std::uint32_t> texture = CodedTexture();
  std::vector<std::uint32_t> canvas = std::vector<std::uint32_t>(kCanvasWidth * kCanvasHeight, 0xFF000000u);
};

TEST_F(FloorAndCeilingTest, AtTimeZeroTheCentreLooksStraightAheadAndTheRowsAboveMeetTheOtherPlane) {
  PaintFloorAndCeiling(0, canvas.data(), PixelPath::kPacked);
  const RayGrid& g = FloorAndCeiling.grid;
  // Straight ahead, d = (0, 0, 200): s = 100, t = 100. Row 140 itself lies between the coarse
  // rows 136 and 144, so the grid holds their average there.
  const RayNode ahead = CastPlaneRay(TurnedRay{{0.0f, 0.0f, 200.0f}});
  EXPECT_EQ(ahead.u, 0u);
  EXPECT_EQ(ahead.v, 20000u);
  EXPECT_EQ(ahead.w, 5000u);
  EXPECT_EQ(Node(g.V, 140, 256), (6666u + 4000u) / 2);
  EXPECT_EQ(canvas[140 * 512 + 256], 0x00FFFFFFu) << "the horizon is fogged white";
  // Row 136: d1 = -4 meets the plane at -100, t = 100 / 3; row 144: d1 = 4, t = 20.
  EXPECT_EQ(Node(g.W, 136, 256), 1666u);
  EXPECT_EQ(Node(g.V, 136, 256), 6666u);
  EXPECT_EQ(Node(g.W, 144, 256), 1000u);
  EXPECT_EQ(Node(g.V, 144, 256), 4000u);
  // (0, 0): d = (-256, -140, 200), t = 100 / 139; sideways 184.17, depth 143.88, fog 35.97.
  EXPECT_EQ(Node(g.U, 0, 0), 184u);
  EXPECT_EQ(Node(g.V, 0, 0), 143u);
  EXPECT_EQ(Node(g.W, 0, 0), 35u);
  for (std::uint32_t p : canvas) ASSERT_EQ(p >> 24, 0u) << "every pixel is drawn";
}

TEST_F(FloorAndCeilingTest, TheTextureSlidesByTheSineAndHalfTheTime) {
  EXPECT_EQ(PlaneRowOffset(0), 0);
  for (std::uint32_t a : {1u, 2042u, 5000u, 13999u, 30000u}) {
    const double exact = 500.0 * std::sin(a / 1300.0) + a / 2;
    EXPECT_EQ(PlaneRowOffset(a), static_cast<std::int32_t>(std::trunc(exact))) << a;
  }
  EXPECT_EQ(PlaneRowOffset(2042), 1520);
  // At the end of the unsigned range the sum passes 2^31 and is held at the largest value.
  const std::uint32_t last = std::numeric_limits<std::uint32_t>::max();
  const double end = 500.0 * std::sin(last / 1300.0) + last / 2;
  EXPECT_EQ(PlaneRowOffset(last), end >= 2147483648.0 ? std::numeric_limits<std::int32_t>::max()
                                                      : static_cast<std::int32_t>(end));
}

TEST_F(FloorAndCeilingTest, TexelsComeFromTheGridWithTheSlidingRowOffset) {
  for (std::uint32_t a : {0u, 777u, 6500u, 13000u}) {
    PaintFloorAndCeiling(a, canvas.data(), PixelPath::kPacked);
    EXPECT_GT(CountTexelsAsNamed(FloorAndCeiling.grid, canvas.data(), 0, 280, PlaneRowOffset(a)), 30000)
        << "a = " << a;
  }
}

TEST_F(FloorAndCeilingTest, ARayAtThePoleIsInfinitelyFar) {
  const RayNode pole = CastPlaneRay(TurnedRay{{3.0f, -1.0f, 200.0f}});
  EXPECT_EQ(pole.u, kFar);
  EXPECT_EQ(pole.v, kFar);
  EXPECT_EQ(pole.w, kFar);
  EXPECT_EQ(CastPlaneRay(TurnedRay{{0.0f, -1.0f, 0.0f}}).u, 0u) << "infinity times zero";
  // Near the pole a wide ray's sideways position leaves the range before its fog does.
  const RayNode near = CastPlaneRay(TurnedRay{{300.0f, -0.99999f, 200.0f}});
  EXPECT_EQ(near.u, kFar);
  EXPECT_LT(near.w, kFar);
  EXPECT_GT(near.w, 255u);
  const RayNode below = CastPlaneRay(TurnedRay{{-10.0f, 4.0f, 50.0f}});
  EXPECT_EQ(below.u, 200u);
  EXPECT_EQ(below.v, 1000u);
  EXPECT_EQ(below.w, 1000u);
}

TEST_F(FloorAndCeilingTest, BothPathsPaintTheSameFramesThroughTheSlot) {
  std::vector<std::uint32_t> scalar(canvas.size());
  for (std::uint32_t a = 3; a < 14000; a += 977) {
    PaintFloorAndCeiling(a, canvas.data(), PixelPath::kPacked);
    PaintFloorAndCeiling(a, scalar.data(), PixelPath::kScalar);
    ASSERT_EQ(canvas, scalar) << "a = " << a;
  }
}

}  // namespace
