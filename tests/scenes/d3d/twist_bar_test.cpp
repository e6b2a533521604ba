// The twisting bar: layout and counts, faces out, twist angles and the shape the first frame
// draws; and the second flare's phase.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/tables.h"
#include "scenes/d3d/flare_scene.h"
#include "scenes/d3d/twist_bar.h"
#include "tests/scenes/d3d/animated_mesh_checks.h"

namespace {

using bulge_flare::GiveBack;

class TwistBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.allocate();
    bar.build();
  }
  void TearDown() override { GiveBack(bar); }
  static int V(int s, int i, int j) { return 200 * s + 20 * i + j; }

  static std::vector<float> Expected(int s, int i, int j) {
    const float x = 4.0f * j - 38, down = 9 - 2.0f * i, up = 2.0f * i - 9;
    switch (s) {
      case 0: return {x, down, -9};
      case 1: return {38 - 4.0f * j, down, 9};
      case 2: return {x, 9, down};
      default: return {x, -9, up};
    }
  }
  static std::vector<float> At(const D3DVECTOR* positions, int v) {
    return {positions[v].x, positions[v].y, positions[v].z};
  }
  TwistBar bar{};
};

TEST_F(TwistBarTest, FourSidesOfTenByTwentyAndTwoCaps) {
  EXPECT_EQ(bar.mesh.vertexCount, 808);
  EXPECT_EQ(bar.mesh.triangleCount, 1372);
  for (int s = 0; s < 4; ++s) {
    for (int i = 0; i < 10; ++i) {
      for (int j = 0; j < 20; ++j) {
        EXPECT_EQ(At(bar.basePositions, V(s, i, j)), Expected(s, i, j)) << s << " " << i << " " << j;
        EXPECT_NE(bar.basePositions[V(s, i, j)].x, 0.0f) << "no column on the middle";
        EXPECT_EQ(bar.mesh.texture[V(s, i, j)].u, static_cast<float>(0.05 * j));
        EXPECT_EQ(bar.mesh.texture[V(s, i, j)].v, static_cast<float>(0.1 * i));
      }
    }
  }
  const float caps[8][5] = {{38, 9, -9, 0, 0},  {38, 9, 9, 1, 0},   {38, -9, -9, 0, 1},  {38, -9, 9, 1, 1},
                            {-38, 9, 9, 1, 0}, {-38, 9, -9, 0, 0}, {-38, -9, 9, 1, 1}, {-38, -9, -9, 0, 1}};
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(At(bar.basePositions, 800 + c), std::vector<float>(caps[c], caps[c] + 3)) << 800 + c;
    EXPECT_EQ(bar.mesh.texture[800 + c].u, caps[c][3]);
    EXPECT_EQ(bar.mesh.texture[800 + c].v, caps[c][4]);
  }
}

TEST_F(TwistBarTest, IndicesSideBySideThenTheCapsAndEveryTriangleFacesOut) {
  std::vector<WORD> expected;
  for (int s = 0; s < 4; ++s) {
    for (int i = 0; i < 9; ++i) {
      for (int j = 0; j < 19; ++j) {
        for (int v : {V(s, i + 1, j + 1), V(s, i + 1, j), V(s, i, j), V(s, i + 1, j + 1), V(s, i, j), V(s, i, j + 1)}) {
          expected.push_back(static_cast<WORD>(v));
        }
      }
    }
  }
  EXPECT_EQ(expected.size() / 6, 4u * 171u) << "342 triangles a side";
  for (int v : {801, 803, 802, 801, 802, 800, 805, 807, 806, 805, 806, 804}) expected.push_back(static_cast<WORD>(v));
  ASSERT_EQ(expected.size(), 4116u);
  EXPECT_EQ(std::vector<WORD>(bar.mesh.indices, bar.mesh.indices + 4116), expected);
  for (int t = 0; t < 1372; ++t) ASSERT_GT(bulge_flare::Outwardness(bar.mesh, t), 0.0) << "triangle " << t;
}

TEST_F(TwistBarTest, BeforeTheFirstTwistTheBarIsStraightWithZeroNormals) {
  for (int v = 0; v < 808; ++v) {
    ASSERT_EQ(At(bar.mesh.positions, v), At(bar.basePositions, v)) << v;
    ASSERT_EQ(At(bar.mesh.normals, v), std::vector<float>({0, 0, 0})) << v;
  }
}

TEST_F(TwistBarTest, TheTwistTurnsAboutXByAnAngleGrowingFromTheMiddle) {
  // Vertex 801, (38, 9, 9), at b = 0.6: about 7.2575 radians.
  const double theta = 38 * double(0.6f) * 0.31831015504887655;
  EXPECT_NEAR(theta, 7.2575, 1e-4);
  const D3DVECTOR p = TwistPoint(bar.basePositions[801], 0.6f);
  EXPECT_EQ(p.x, 38.0f);
  EXPECT_NEAR(p.y, 9 * std::cos(theta) - 9 * std::sin(theta), 1e-5);
  EXPECT_NEAR(p.z, 9 * std::cos(theta) + 9 * std::sin(theta), 1e-5);
  // The far end turns the other way.
  const D3DVECTOR q = TwistPoint(bar.basePositions[804], 0.6f);
  EXPECT_NEAR(q.y, 9 * std::cos(-theta) - 9 * std::sin(-theta), 1e-5);

  EXPECT_EQ(TwistFactor(0), 0.0f);
  EXPECT_EQ(TwistFactor(471), static_cast<float>(0.6 * std::sin(471 * 0.0033333333333333335)));
  bar.twist(0);
  for (int v = 0; v < 808; ++v) ASSERT_EQ(At(bar.mesh.positions, v), At(bar.basePositions, v)) << v;
  bar.twist(471);  // near the widest swing
  for (int v = 0; v < 808; ++v) {
    const D3DVECTOR& b = bar.basePositions[v];
    const D3DVECTOR& t = bar.mesh.positions[v];
    ASSERT_EQ(t.x, b.x);
    ASSERT_NEAR(std::hypot(t.y, t.z), std::hypot(b.y, b.z), 1e-4) << "a turn keeps the distance from the axis";
  }
  EXPECT_GT(std::fabs(bar.mesh.positions[801].y - 9.0f), 1.0f);
}

TEST_F(TwistBarTest, StraightSidesGetTheirFaceNormals) {
  bar.twist(0);
  bar.computeNormals();
  const std::vector<float> sideNormals[4] = {{0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}};
  for (int s = 0; s < 4; ++s) EXPECT_EQ(At(bar.mesh.normals, V(s, 5, 10)), sideNormals[s]) << s;
  // The caps have vertices of their own: a cap corner has the two faces of its cap.
  EXPECT_EQ(bar.mesh.counts[801], 2);
  EXPECT_EQ(At(bar.mesh.normals, 801), std::vector<float>({1, 0, 0}));
  EXPECT_EQ(At(bar.mesh.normals, 806), std::vector<float>({-1, 0, 0}));
}

TEST(FlareScene, TheSecondFlareRunsA150MsPhaseAhead) {
  EXPECT_EQ(SecondFlareAngle(0), 37u);
  EXPECT_EQ(SecondFlareAngle(1), 37u);
  EXPECT_EQ(SecondFlareAngle(2), 38u);
  EXPECT_EQ(SecondFlareAngle(4096 - 150), 0u) << "only the low ten bits count";
  EXPECT_EQ(SecondFlareAngle(0xFFFFFFFFu), ((0xFFFFFFFFu + 150u) >> 2) & 1023u);
}

}  // namespace
