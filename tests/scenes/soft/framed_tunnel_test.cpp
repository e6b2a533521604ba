#include "scenes/soft/framed_tunnel.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "music/beat_flags.h"
#include "core/canvas.h"
#include "core/tables.h"
#include "scenes/soft/radial_blur.h"
#include "tests/scenes/soft/coded_texture.h"

namespace {

constexpr std::uint32_t kFar = std::numeric_limits<std::int32_t>::max();

class FramedTunnelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildTables();
    std::mt19937 random(17);
    for (std::uint32_t& p : upper) p = random() & 0x00FFFFFFu;
    for (std::uint32_t& p : lower) p = random() & 0x00FFFFFFu;
    AllocateRayGrid(FramedTunnel.grid, kTunnelGridRows);
    FramedTunnel.texture = texture.data();
    FramedTunnel.columnTable = columns.data();
    FramedTunnel.rowTable = rows.data();
    FramedTunnel.upperFrame = upper.data();
    FramedTunnel.lowerFrame = lower.data();
  }
  void TearDown() override {
    FreeRayGrid(FramedTunnel.grid);
    FramedTunnel = FramedTunnelScene{};
    BeatFlagA = 1;
    FreeTables();
  }

  std::uint32_t Node(const std::uint32_t* values, int y, int x) { return values[RayGridIndex(y, x)]; }

  // The tunnel drawn by its parts: cast at the given half-width, refine, fill; blurred by the
  // per-byte blur when asked.
  std::vector<std::uint32_t> ByParts(std::uint32_t a, float halfWidth, bool blurred) {
    std::vector<std::uint32_t> canvas(kCanvasWidth * kCanvasHeight, 0);
    RotationMatrix view;
    BuildViewMatrix(view, static_cast<int>(90.0f * SinTable[(a / 3) & 1023]),
                    static_cast<int>(-100.0f * SinTable[(a / 4) & 1023]), static_cast<int>(a / 2));
    CastRayGrid(FramedTunnel.grid, view, 90, 184, [&](const TurnedRay& r) { return CastTunnelRay(r, halfWidth); });
    RefineRayGrid(FramedTunnel.grid, 184);
    std::uint32_t* area = canvas.data() + 50 * 512;
    FillFromRayGrid(FramedTunnel.grid, texture.data(), static_cast<std::int32_t>(a / 4), 180, area, PixelPath::kScalar);
    if (blurred) {
      std::vector<std::int32_t> X(512), Y(180);
      ApplyRadialBlur(area, X.data(), Y.data(), ComputeBlurTables(a, X.data(), Y.data()), PixelPath::kScalar);
    }
    std::copy(upper.begin(), upper.end(), canvas.begin());
    std::copy(lower.begin(), lower.end(), canvas.begin() + 227 * 512);
    return canvas;
  }

  std::vector<std::uint32_t> texture = CodedTexture();
  std::vector<std::int32_t> columns = std::vector<std::int32_t>(512);
  std::vector<std::int32_t> rows = std::vector<std::int32_t>(180);
  std::vector<std::uint32_t> upper = std::vector<std::uint32_t>(512 * 50);
  std::vector<std::uint32_t> lower = std::vector<std::uint32_t>(512 * 50);
  std::vector<std::uint32_t> canvas = std::vector<std::uint32_t>(kCanvasWidth * kCanvasHeight, 0);
};

TEST_F(FramedTunnelTest, WallsStandAt300WithoutTheBeatAnd250WithIt) {
  // At time 0 the view is straight: node (256, 0) looks up at d = (0, -90, 200), node (256, 96)
  // down at d1 = 6; t = h / 89 and h / 7.
  BeatFlagA = 0;
  PaintFramedTunnel(0, canvas.data(), PixelPath::kPacked);
  const RayGrid& g = FramedTunnel.grid;
  EXPECT_EQ(Node(g.U, 0, 256), 0u);
  EXPECT_EQ(Node(g.V, 0, 256), 337u);
  EXPECT_EQ(Node(g.W, 0, 256), 57u);
  EXPECT_EQ(Node(g.V, 96, 256), 4285u);
  EXPECT_EQ(Node(g.W, 96, 256), 728u);
  // Node (0, 0): d0 = -256 is the major, t = 300 / 255, across = 90 t.
  EXPECT_EQ(Node(g.U, 0, 0), 105u);
  EXPECT_EQ(Node(g.V, 0, 0), 117u);
  EXPECT_EQ(canvas, ByParts(0, 300.0f, false)) << "no blur without the beat";

  BeatFlagA = 1;
  PaintFramedTunnel(0, canvas.data(), PixelPath::kPacked);
  EXPECT_EQ(Node(g.V, 0, 256), 280u);
  EXPECT_EQ(Node(g.W, 0, 256), 47u);
  EXPECT_EQ(canvas, ByParts(0, 250.0f, true));
}

TEST_F(FramedTunnelTest, TheBeatBlursTheTunnelBeforeTheLowerFrameCoversIt) {
  for (std::uint32_t a : {1u, 3840u, 7001u, 14999u, 15020u}) {
    PaintFramedTunnel(a, canvas.data(), PixelPath::kPacked);
    ASSERT_EQ(canvas, ByParts(a, 250.0f, true)) << "a = " << a;
  }
}

TEST_F(FramedTunnelTest, FramesAndTheUntouchedBottomRowsThroughTheSlot) {
  for (std::uint32_t a = 0; a <= 15000; a += 731) {
    BeatFlagA = (a / 731) % 2;
    PaintFramedTunnel(a, canvas.data(), PixelPath::kPacked);
    ASSERT_TRUE(std::equal(upper.begin(), upper.end(), canvas.begin())) << a;
    ASSERT_TRUE(std::equal(lower.begin(), lower.end(), canvas.begin() + 227 * 512)) << a;
    for (int i = 277 * 512; i < 280 * 512; ++i) ASSERT_EQ(canvas[i], 0u) << "rows 277 to 279 stay black, a = " << a;
  }
}

TEST_F(FramedTunnelTest, TexelsComeFromTheGridWithTheRowOffsetOfAQuarterOfTheTime) {
  BeatFlagA = 0;
  for (std::uint32_t a : {0u, 2000u, 9999u}) {
    PaintFramedTunnel(a, canvas.data(), PixelPath::kPacked);
    // Rows 50 to 226: the lower frame covers the tunnel's last three rows.
    EXPECT_GT(CountTexelsAsNamed(FramedTunnel.grid, canvas.data(), 50, 177, static_cast<std::int32_t>(a / 4)), 20000)
        << "a = " << a;
  }
}

TEST_F(FramedTunnelTest, CastingPicksTheMajorComponentAndSurvivesItsPole) {
  // A tie picks d0: t = -250 / (-5 + 1), across = |t * 5|.
  const RayNode tie = CastTunnelRay(TurnedRay{{-5.0f, 5.0f, 0.0f}}, 250.0f);
  EXPECT_EQ(tie.u, 312u);
  EXPECT_EQ(tie.v, 6250u);
  const RayNode minor = CastTunnelRay(TurnedRay{{3.0f, -7.0f, 0.0f}}, 300.0f);
  EXPECT_EQ(minor.u, 150u) << "d1 is the major, t = -300 / -6";
  // Major -1 divides by zero: the ray reads as infinitely far, across the wall too.
  const RayNode pole = CastTunnelRay(TurnedRay{{0.5f, -1.0f, 0.0f}}, 250.0f);
  EXPECT_EQ(pole.u, kFar);
  EXPECT_EQ(pole.v, kFar);
  EXPECT_EQ(pole.w, kFar);
  EXPECT_EQ(CastTunnelRay(TurnedRay{{-1.0f, 0.0f, 0.0f}}, 250.0f).u, 0u) << "infinity times a zero minor";
  // Just short of the pole depth and fog leave the 32-bit range while the position across stays.
  const RayNode near = CastTunnelRay(TurnedRay{{0.5f, -0.9999999f, 0.0f}}, 250.0f);
  EXPECT_EQ(near.v, kFar);
  EXPECT_EQ(near.w, kFar);
  EXPECT_GT(near.u, 1000000000u);
  EXPECT_LT(near.u, kFar);
}

TEST_F(FramedTunnelTest, NeighbouringPoleNodesStayWhiteBetweenThem) {
  // Two far nodes side by side: their averages stay far, so the whole span is fogged white.
  RayGrid& g = FramedTunnel.grid;
  for (int y = 0; y <= 184; y += 8)
    for (int x = 0; x <= 512; x += 8) {
      const bool pole = x == 16 || x == 24;
      g.U[RayGridIndex(y, x)] = g.V[RayGridIndex(y, x)] = g.W[RayGridIndex(y, x)] = pole ? kFar : 3;
    }
  RefineRayGrid(g, 184);
  FillFromRayGrid(g, texture.data(), 0, 180, canvas.data(), PixelPath::kPacked);
  for (int r = 0; r < 180; ++r)
    for (int x = 16; x <= 24; ++x) ASSERT_EQ(canvas[r * 512 + x], 0x00FFFFFFu) << r << "," << x;
}

TEST_F(FramedTunnelTest, BothPathsPaintTheSameFramesThroughTheSlot) {
  std::mt19937 random(8);
  for (std::uint32_t& p : texture) p = random() & 0x00FFFFFFu;
  std::vector<std::uint32_t> scalar(canvas.size());
  for (int k = 0; k < 40; ++k) {
    const std::uint32_t a = k * 383 + static_cast<std::uint32_t>(random() % 383);
    BeatFlagA = k % 4 != 0;
    PaintFramedTunnel(a, canvas.data(), PixelPath::kPacked);
    PaintFramedTunnel(a, scalar.data(), PixelPath::kScalar);
    ASSERT_EQ(canvas, scalar) << "a = " << a;
  }
}

}  // namespace
