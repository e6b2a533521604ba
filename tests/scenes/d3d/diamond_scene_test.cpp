// The turning diamond: which texel lands where on the screen as it turns, the whole picture area
// covered, the beat handing frames to the floor and ceiling, and every message.
#include "scenes/d3d/diamond_scene.h"

#include <gtest/gtest.h>

#include <cmath>

#include "music/beat_flags.h"
#include "scenes/soft/floor_and_ceiling.h"
#include "tests/scenes/d3d/d3d_scene_test.h"

namespace {

using namespace d3d_test;

class DiamondSceneTest : public D3DSceneTest {
 protected:
  void SetUp() override {
    D3DSceneTest::SetUp();
    BeatFlagB = 0;
  }
  void TearDown() override {
    BeatFlagB = 0;
    D3DSceneTest::TearDown();
  }

  // The set-ups in their order, then the blend switched off as the cube's slot leaves it.
  void SetUpAsBeforeSlotFour() {
    OpenDevice();
    SetUpDiamondScene();
    SetUpMeshScene();
    Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  }

  // The quadrant colour seen at screen pixel (column, row) at time t, or 0 where the pixel lies
  // too near a quadrant edge for filtering to leave it pure. The diamond is 90 units from the eye:
  // column 256 + 512 x / 90, row 192 - 560 y / 90; the world is the diamond turned by -t.
  static std::uint32_t ExpectedAt(int column, int row, std::uint32_t t) {
    const double xw = (column + 0.5 - 256.0) * 90.0 / 512.0, yw = (192.0 - row - 0.5) * 90.0 / 560.0;
    const double angle = -static_cast<double>(t) * 6.283185308 / 1024.0;
    const double xo = xw * std::cos(angle) + yw * std::sin(angle);
    const double yo = -xw * std::sin(angle) + yw * std::cos(angle);
    if (std::fabs(xo) < 5.0 || std::fabs(yo) < 5.0) return 0;
    const double u = 0.5 + xo / 200.0, v = 0.5 - yo / 200.0;
    return kQuadrants[v >= 0.5][u >= 0.5];
  }

  void ExpectQuadrantsAt(std::uint32_t t) {
    int checked = 0;
    for (int row = 52; row < 332; row += 7) {
      for (int column = 0; column < 512; column += 7) {
        const std::uint32_t want = ExpectedAt(column, row, t);
        if (want == 0) continue;
        ++checked;
        ASSERT_EQ(BackPixel(column, row), want) << "t " << t << " at " << column << "," << row;
      }
    }
    EXPECT_GT(checked, 2000);
  }
};

TEST_F(DiamondSceneTest, SetUpPlacesSixVerticesFacingAwayWithTheTextureTurnedByAnEighth) {
  OpenDevice();
  SetUpDiamondScene();
  const float expected[6][4] = {{100, 0, 1, 0.5f}, {-100, 0, 0, 0.5f}, {0, 100, 0.5f, 0},
                                {100, 0, 1, 0.5f}, {0, -100, 0.5f, 1}, {-100, 0, 0, 0.5f}};
  for (int i = 0; i < 6; ++i) {
    const D3DVERTEX& v = Diamond.vertices[i];
    EXPECT_EQ(v.x, expected[i][0]) << i;
    EXPECT_EQ(v.y, expected[i][1]) << i;
    EXPECT_EQ(v.z, 100.0f) << i;
    EXPECT_EQ(v.nx, 0.0f);
    EXPECT_EQ(v.ny, 0.0f);
    EXPECT_EQ(v.nz, 1.0f);
    EXPECT_EQ(v.tu, expected[i][2]) << i;
    EXPECT_EQ(v.tv, expected[i][3]) << i;
  }
  D3DMATRIX view{};
  Device3D->GetTransform(D3DTRANSFORMSTATE_VIEW, &view);
  EXPECT_EQ(view._43, -10.0f) << "the transforms are set";
}

TEST_F(DiamondSceneTest, TheDiamondTurnsClockwiseAQuarterEvery256Milliseconds) {
  SetUpAsBeforeSlotFour();
  // At 0 the corners point up, down, left and right: the right of the screen shows the texture's
  // right half. At 128 the edges are level; at 256 the right-hand corner has gone to the bottom.
  for (std::uint32_t t : {0u, 128u, 256u, 15001u}) {
    FillBackBuffer(0x010203);
    RenderDiamondScene(t, canvas.data());
    ExpectQuadrantsAt(t);
  }
  EXPECT_EQ(ExpectedAt(400, 120, 0), kQuadrants[0][1]);
  EXPECT_EQ(ExpectedAt(400, 120, 256), kQuadrants[0][0]) << "turned clockwise, the upper right shows the upper left";
}

TEST_F(DiamondSceneTest, EveryPixelOfThePictureAreaIsCoveredAndTheLetterboxIsLeft) {
  SetUpAsBeforeSlotFour();
  for (std::uint32_t t : {0u, 64u, 128u, 200u, 333u}) {
    FillBackBuffer(0x010203);
    RenderDiamondScene(t, canvas.data());
    for (int y = 0; y < 384; ++y) {
      for (int x = 0; x < 512; ++x) {
        const bool inside = y >= 52 && y < 332;
        ASSERT_EQ(BackPixel(x, y) == 0x010203u, !inside) << "t " << t << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(DiamondSceneTest, WhileTheBeatFlagIsSetTheFloorAndCeilingDrawAndNoSceneIsBegun) {
  SetUpAsBeforeSlotFour();
  std::vector<std::uint32_t> planeTexture(256 * 256);
  for (std::size_t i = 0; i < planeTexture.size(); ++i) planeTexture[i] = static_cast<std::uint32_t>(i * 40503u) & 0xFFFFFF;
  FloorAndCeiling.texture = planeTexture.data();
  AllocateRayGrid(FloorAndCeiling.grid, kPlaneGridRows);
  BeatFlagB = 1;
  const int begun = faults::Calls("IDirect3DDevice3::BeginScene");
  const int ambient = faults::Calls("IDirect3DDevice3::SetLightState");
  RenderDiamondScene(3000, canvas.data());
  EXPECT_EQ(faults::Calls("IDirect3DDevice3::BeginScene"), begun);
  EXPECT_EQ(faults::Calls("IDirect3DDevice3::SetLightState"), ambient) << "the ambient level stays as it was";
  std::vector<std::uint32_t> planes(kCanvasWidth * kCanvasHeight);
  PaintFloorAndCeiling(3000, planes.data(), RenderPixelPath);
  for (int y = 0; y < 280; y += 5)
    for (int x = 0; x < 512; x += 5) ASSERT_EQ(BackPixel(x, y + 52), planes[512 * y + x]) << x << "," << y;
  FreeRayGrid(FloorAndCeiling.grid);
  FloorAndCeiling = FloorAndCeilingScene{};
}

TEST_F(DiamondSceneTest, EveryFailureHasItsMessage) {
  struct Case {
    const char* operation;
    const char* message;
  } cases[] = {
      {"IDirect3DDevice3::SetLightState", "Unable to set ambient light"},
      {"IDirect3DDevice3::BeginScene", "Unable to begin scene"},
      {"IDirect3DDevice3::SetTexture", "Unable to set texture"},
      {"IDirect3DDevice3::DrawPrimitive", "Unable to draw primitive"},
  };
  for (const Case& c : cases) {
    SetUpAsBeforeSlotFour();
    faults::Fail(c.operation, faults::Calls(c.operation) + 1);
    EXPECT_EQ(FatalMessageOf([&] { RenderDiamondScene(100, canvas.data()); }), c.message) << c.operation;
    faults::Reset();
    CloseDevice();
  }
}

}  // namespace
