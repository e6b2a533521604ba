// The wave grid and the vertex normals every animated mesh shares: layout, heights, truncation
// of negative table indices, and normals that are averaged but not renormalised.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/tables.h"
#include "scenes/d3d/vertex_normals.h"
#include "scenes/d3d/wave_grid.h"
#include "tests/scenes/d3d/animated_mesh_checks.h"

namespace {

using bulge_flare::GiveBack;

class WaveGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildTables();
    grid.allocate();
    grid.build();
    grid.buildIndices();
  }
  void TearDown() override {
    GiveBack(grid);
    FreeTables();
  }
  static int V(int a, int k) { return 15 * a + k; }
  WaveGrid grid{};
};

TEST_F(WaveGridTest, FifteenByFifteenVerticesCentredOnXButNotOnY) {
  ASSERT_EQ(grid.mesh.vertexCount, 225);
  ASSERT_EQ(grid.mesh.triangleCount, 392);
  for (int a = 0; a < 15; ++a) {
    for (int k = 0; k < 15; ++k) {
      const D3DVECTOR& p = grid.basePositions[V(a, k)];
      EXPECT_EQ(p.x, (2 * k - 14) * 40) << a << "," << k;
      EXPECT_EQ(p.y, (15 - 2 * a) * 30) << a << "," << k;
      EXPECT_EQ(p.z, 0.0f);
      EXPECT_EQ(grid.mesh.texture[V(a, k)].u, k * 0.06666667f);
      EXPECT_EQ(grid.mesh.texture[V(a, k)].v, a * 0.06666667f);
    }
  }
  EXPECT_EQ(grid.basePositions[V(0, 0)].x, -560);
  EXPECT_EQ(grid.basePositions[V(0, 0)].y, 450);
  EXPECT_EQ(grid.basePositions[V(14, 14)].x, 560);
  EXPECT_EQ(grid.basePositions[V(14, 14)].y, -390);
}

TEST_F(WaveGridTest, TwoTrianglesACellInRowOrder) {
  std::vector<WORD> expected;
  for (int a = 0; a < 14; ++a) {
    for (int j = 0; j < 14; ++j) {
      for (int v : {V(a + 1, j + 1), V(a + 1, j), V(a, j + 1), V(a, j + 1), V(a + 1, j), V(a, j)}) {
        expected.push_back(static_cast<WORD>(v));
      }
    }
  }
  ASSERT_EQ(expected.size(), 1176u);
  EXPECT_EQ(std::vector<WORD>(grid.mesh.indices, grid.mesh.indices + 1176), expected);
}

TEST_F(WaveGridTest, HeightsAreADiagonalSineOfTheTimeAndThePlace) {
  grid.animate(0);
  // v(0, 7) sits at x = 0, y = 450: index 4500 AND 1023.
  EXPECT_EQ(grid.mesh.positions[V(0, 7)].z, 220.0f * SinTable[404]);
  for (std::uint32_t t : {0u, 1u, 12345u, 20000u}) {
    grid.animate(t);
    for (int v = 0; v < 225; ++v) {
      const D3DVECTOR& base = grid.basePositions[v];
      const D3DVECTOR& p = grid.mesh.positions[v];
      const auto i = static_cast<std::int32_t>(std::trunc(double(t) + 10.0 * (double(base.x) + base.y)));
      ASSERT_EQ(p.x, base.x);
      ASSERT_EQ(p.y, base.y);
      ASSERT_EQ(p.z, 220.0f * SinTable[static_cast<std::uint32_t>(i) & 1023]) << "t " << t << " vertex " << v;
    }
  }
}

TEST_F(WaveGridTest, NegativeIndicesTruncateTowardZeroAndWrapByTheirLowTenBits) {
  // The lower left corner at t = 0: 10 (-560 - 390) = -9500, whose low ten bits are 740.
  grid.animate(0);
  EXPECT_EQ(grid.mesh.positions[V(14, 0)].z, 220.0f * SinTable[740]);
  EXPECT_EQ(WaveHeight(0, -0.1f, 0.0f), 220.0f * SinTable[1023]) << "-1 is 1023";
  EXPECT_EQ(WaveHeight(0, -0.05f, 0.0f), 220.0f * SinTable[0]) << "-0.5 truncates to 0, not down to -1";
  EXPECT_EQ(WaveHeight(3, -0.1f, 0.0f), 220.0f * SinTable[1]) << "3 - 1.00000001 truncates to 1";
}

TEST_F(WaveGridTest, AFlatGridFacesTheEyeEverywhereExactly) {
  for (int v = 0; v < 225; ++v) grid.mesh.positions[v] = grid.basePositions[v];
  grid.computeNormals();
  for (int v = 0; v < 225; ++v) {
    ASSERT_EQ(grid.mesh.normals[v].x, 0.0f) << v;
    ASSERT_EQ(grid.mesh.normals[v].y, 0.0f) << v;
    ASSERT_EQ(grid.mesh.normals[v].z, -1.0f) << v;
  }
  EXPECT_EQ(grid.mesh.counts[V(0, 0)], 1) << "a corner with one face";
  EXPECT_EQ(grid.mesh.counts[V(0, 14)], 2) << "a corner with two";
  EXPECT_EQ(grid.mesh.counts[V(7, 7)], 6) << "an inner vertex";
}

TEST_F(WaveGridTest, WavyNormalsAverageTheFacesWithoutRenormalising) {
  grid.animate(777);
  grid.computeNormals();
  // v(0, 0) has one face: its normal is that face's unit normal.
  const bulge_flare::Direction only = bulge_flare::FaceNormal(grid.mesh, 1);
  EXPECT_NEAR(grid.mesh.normals[V(0, 0)].x, only.x, 1e-6);
  EXPECT_NEAR(grid.mesh.normals[V(0, 0)].y, only.y, 1e-6);
  EXPECT_NEAR(grid.mesh.normals[V(0, 0)].z, only.z, 1e-6);
  bool shorter = false;
  for (int v = 0; v < 225; ++v) {
    const D3DVECTOR& n = grid.mesh.normals[v];
    const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
    ASSERT_LE(length, 1.0 + 1e-6) << v;
    ASSERT_LT(n.z, 0.0f) << "every vertex still faces the eye " << v;
    shorter = shorter || length < 0.999;
  }
  EXPECT_TRUE(shorter) << "where the faces round a vertex disagree its normal is shorter than 1";
}

TEST(VertexNormals, UnusedVerticesKeepZeroAndDisagreeingFacesGiveAShortNormal) {
  // Two faces at a right angle along the edge 0-1, and vertex 4 used by none.
  const D3DVECTOR positions[5] = {{{0}, {0}, {0}}, {{1}, {0}, {0}}, {{0}, {1}, {0}}, {{0}, {0}, {1}}, {{7}, {7}, {7}}};
  const WORD indices[6] = {0, 1, 2, 0, 3, 1};
  D3DVECTOR normals[5];
  std::int32_t counts[5];
  for (D3DVECTOR& n : normals) n.x = n.y = n.z = 99.0f;  // whatever was there before goes
  AverageVertexNormals(positions, 5, indices, 2, normals, counts);
  EXPECT_EQ(counts[0], 2);
  EXPECT_EQ(counts[2], 1);
  EXPECT_EQ(counts[4], 0);
  EXPECT_EQ(normals[4].x, 0.0f);
  EXPECT_EQ(normals[4].y, 0.0f);
  EXPECT_EQ(normals[4].z, 0.0f);
  // Face 0 points along +z, face 1 along +y: the shared vertices get (0, 1/2, 1/2), of length
  // 0.707 rather than 1.
  EXPECT_EQ(normals[0].y, 0.5f);
  EXPECT_EQ(normals[0].z, 0.5f);
  EXPECT_EQ(normals[1].y, 0.5f);
  EXPECT_EQ(normals[2].z, 1.0f);
  EXPECT_EQ(normals[3].y, 1.0f);
}

TEST(VertexNormals, ATriangleSqueezedFlatAddsNothingInsteadOfSpoilingItsCorners) {
  // Triangle 0 has two corners in one place; triangle 1 is a proper one sharing vertex 0.
  const D3DVECTOR positions[4] = {{{0}, {0}, {0}}, {{1}, {0}, {0}}, {{1}, {0}, {0}}, {{0}, {1}, {0}}};
  const WORD indices[6] = {0, 1, 2, 0, 1, 3};
  D3DVECTOR normals[4];
  std::int32_t counts[4];
  AverageVertexNormals(positions, 4, indices, 2, normals, counts);
  for (const D3DVECTOR& n : normals) {
    ASSERT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
  }
  EXPECT_EQ(counts[0], 2);
  EXPECT_EQ(normals[0].z, 0.5f) << "the proper face's +z, shared with the squeezed one";
  EXPECT_EQ(normals[2].z, 0.0f);
  EXPECT_EQ(normals[3].z, 1.0f);
}

}  // namespace
