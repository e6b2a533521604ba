// The bulging cube: six separate faces facing out, the three spheres of a time, and bulges that
// push outward only, compound and never pull back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/tables.h"
#include "scenes/d3d/blob_cube.h"
#include "tests/scenes/d3d/animated_mesh_checks.h"

namespace {

using bulge_flare::GiveBack;

class BlobCubeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildTables();
    cube.allocate();
    cube.build();
    cube.buildIndices();
  }
  void TearDown() override {
    GiveBack(cube);
    FreeTables();
  }
  static int V(int f, int i, int j) { return 256 * f + 16 * i + j; }

  // Where vertex (i, j) of face f stands, from the faces' layout.
  static std::vector<float> Expected(int f, int i, int j) {
    const float a = 2.0f * j - 15, b = 15 - 2.0f * i, c = 2.0f * i - 15, d = 15 - 2.0f * j;
    switch (f) {
      case 0: return {a, b, -15};
      case 1: return {a, c, 15};
      case 2: return {-15, b, d};
      case 3: return {15, b, a};
      case 4: return {a, 15, b};
      default: return {a, -15, c};
    }
  }
  BlobCube cube{};
};

TEST_F(BlobCubeTest, SixSeparateSixteenSquareFacesTextureRunningZeroToOne) {
  ASSERT_EQ(cube.mesh.vertexCount, 1536);
  ASSERT_EQ(cube.mesh.triangleCount, 2700);
  for (int f = 0; f < 6; ++f) {
    for (int i = 0; i < 16; ++i) {
      for (int j = 0; j < 16; ++j) {
        const D3DVECTOR& p = cube.basePositions[V(f, i, j)];
        EXPECT_EQ(std::vector<float>({p.x, p.y, p.z}), Expected(f, i, j)) << f << " " << i << " " << j;
        EXPECT_EQ(cube.mesh.texture[V(f, i, j)].u, j * 0.06666667f);
        EXPECT_EQ(cube.mesh.texture[V(f, i, j)].v, i * 0.06666667f);
      }
    }
  }
  EXPECT_FLOAT_EQ(cube.mesh.texture[V(3, 15, 15)].u, 1.0f);
}

TEST_F(BlobCubeTest, IndicesRunFaceByFaceAndEveryTriangleFacesOutOfTheCube) {
  std::vector<WORD> expected;
  for (int f = 0; f < 6; ++f) {
    for (int r = 0; r < 15; ++r) {
      for (int c = 0; c < 15; ++c) {
        for (int v : {V(f, r + 1, c + 1), V(f, r + 1, c), V(f, r, c + 1), V(f, r, c + 1), V(f, r + 1, c), V(f, r, c)}) {
          expected.push_back(static_cast<WORD>(v));
        }
      }
    }
  }
  ASSERT_EQ(expected.size(), 8100u);
  EXPECT_EQ(std::vector<WORD>(cube.mesh.indices, cube.mesh.indices + 8100), expected);
  for (int v = 0; v < 1536; ++v) cube.mesh.positions[v] = cube.basePositions[v];
  for (int t = 0; t < 2700; ++t) ASSERT_GT(bulge_flare::Outwardness(cube.mesh, t), 0.0) << "triangle " << t;
}

TEST_F(BlobCubeTest, TheSpheresOfATime) {
  BlobSphere s[3];
  BlobSpheres(0, s);
  EXPECT_EQ(s[0].radius, 10.0f);
  EXPECT_EQ(s[1].radius, 19.0f);
  EXPECT_EQ(s[2].radius, 10.0f);
  EXPECT_EQ(std::vector<float>({s[0].centre.x, s[0].centre.y, s[0].centre.z}), std::vector<float>({9, 0, 9}));
  EXPECT_EQ(std::vector<float>({s[1].centre.x, s[1].centre.y, s[1].centre.z}), std::vector<float>({0, 9, -9}));
  EXPECT_EQ(std::vector<float>({s[2].centre.x, s[2].centre.y, s[2].centre.z}), std::vector<float>({9, 0, 0}));

  // At t = 3001 the quotients differ: 1500, 1000, 750, 600, 500 and t itself.
  BlobSpheres(3001, s);
  const auto S = [](unsigned n) { return double(SinTable[n & 1023]); };
  const auto C = [](unsigned n) { return double(CosTable[n & 1023]); };
  EXPECT_EQ(s[0].radius, static_cast<float>(10 + 9 * S(1500)));
  EXPECT_EQ(s[0].centre.x, static_cast<float>(9 * C(1000)));
  EXPECT_EQ(s[0].centre.y, static_cast<float>(9 * S(750)));
  EXPECT_EQ(s[1].centre.z, static_cast<float>(-9 * C(3001)));
  EXPECT_EQ(s[2].radius, static_cast<float>(10 - 9 * S(3001)));
  EXPECT_EQ(s[2].centre.y, static_cast<float>(-9 * S(600)));
  EXPECT_EQ(s[2].centre.z, static_cast<float>(9 * S(500)));
}

TEST(BlobSpherePush, InsidePointsMoveOutAlongTheRayOthersStay) {
  const BlobSphere sphere{{{1}, {1}, {1}}, 5.0f};
  const D3DVECTOR onSurface{{4}, {5}, {1}};  // (3, 4, 0) from the centre: exactly 5
  const D3DVECTOR pushed = PushOutOfSphere(onSurface, sphere);
  EXPECT_EQ(std::vector<float>({pushed.x, pushed.y, pushed.z}), std::vector<float>({4, 5, 1}));
  const D3DVECTOR inside = PushOutOfSphere(D3DVECTOR{{1}, {1}, {3}}, sphere);
  EXPECT_EQ(std::vector<float>({inside.x, inside.y, inside.z}), std::vector<float>({1, 1, 6}));
  const D3DVECTOR outside = PushOutOfSphere(D3DVECTOR{{10}, {1}, {1}}, sphere);
  EXPECT_EQ(outside.x, 10.0f);
}

TEST_F(BlobCubeTest, BulgesPushOutwardCompoundAndNeverPullBack) {
  int pushedTwice = 0;
  for (std::uint32_t t : {0u, 1234u, 5001u, 19999u}) {
    cube.deform(t);
    BlobSphere s[3];
    BlobSpheres(t, s);
    for (int v = 0; v < 1536; ++v) {
      // The spheres one after the other, in double precision.
      double p[3] = {cube.basePositions[v].x, cube.basePositions[v].y, cube.basePositions[v].z};
      int pushes = 0;
      for (const BlobSphere& sphere : s) {
        const double c[3] = {sphere.centre.x, sphere.centre.y, sphere.centre.z};
        const double d = std::sqrt((p[0] - c[0]) * (p[0] - c[0]) + (p[1] - c[1]) * (p[1] - c[1]) +
                                   (p[2] - c[2]) * (p[2] - c[2]));
        if (d < sphere.radius) {
          for (int k = 0; k < 3; ++k) p[k] = c[k] + (p[k] - c[k]) * sphere.radius / d;
          ++pushes;
        }
      }
      pushedTwice += pushes > 1 && t == 0;
      const D3DVECTOR& q = cube.mesh.positions[v];
      ASSERT_NEAR(q.x, p[0], 1e-4) << t << " " << v;
      ASSERT_NEAR(q.y, p[1], 1e-4) << t << " " << v;
      ASSERT_NEAR(q.z, p[2], 1e-4) << t << " " << v;
      // Never inside the cube, never inside the last sphere.
      ASSERT_GE(std::max({std::fabs(q.x), std::fabs(q.y), std::fabs(q.z)}), 15.0f - 1e-4f) << t << " " << v;
      const double dx = q.x - s[2].centre.x, dy = q.y - s[2].centre.y, dz = q.z - s[2].centre.z;
      ASSERT_GE(std::sqrt(dx * dx + dy * dy + dz * dz), s[2].radius - 1e-4) << t << " " << v;
    }
  }
  EXPECT_GT(pushedTwice, 0) << "at t = 0 some points are pushed by two spheres";
}

TEST_F(BlobCubeTest, DeformingReadsTheBasePositionsSoAFrameDependsOnItsTimeAlone) {
  cube.deform(4321);
  const std::vector<float> first(&cube.mesh.positions[0].x, &cube.mesh.positions[0].x + 3 * 1536);
  cube.deform(100);
  cube.deform(4321);
  EXPECT_EQ(std::vector<float>(&cube.mesh.positions[0].x, &cube.mesh.positions[0].x + 3 * 1536), first);
  cube.computeNormals();
  for (int v = 0; v < 1536; ++v) ASSERT_EQ(cube.mesh.counts[v] > 0, true) << "every vertex is used";
}

}  // namespace
