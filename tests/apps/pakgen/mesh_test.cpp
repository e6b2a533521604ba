// The mesh as a 3DS reader walks it, and as a solid: closed, wound outward, within its frame.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "tests/apps/pakgen/chunks.h"
#include "tests/apps/pakgen/package_fixture.h"

namespace {

using Vec = std::array<double, 3>;

TEST(PakgenMesh, ChunksNestAsAReaderExpectsWithExtraChunksBesideTheLists) {
  const Bytes& b = BuiltPackage().at("object3.3ds");
  const Chunk main = WalkChunks(b);
  ASSERT_EQ(main.id, 0x4D4Du);
  ASSERT_EQ(main.end, b.size());
  EXPECT_NE(FindChunk(main, {0x3D3D, 0xAFFF}), nullptr) << "a material block for the loader to skip";
  const Chunk* mesh = FindChunk(main, {0x3D3D, 0x4000, 0x4100});
  ASSERT_NE(mesh, nullptr);
  for (unsigned id : {0x4110u, 0x4120u, 0x4140u, 0x4160u}) EXPECT_NE(FindChunk(*mesh, {id}), nullptr) << std::hex << id;
  EXPECT_NE(FindChunk(*mesh, {0x4120, 0x4130}), nullptr) << "sub-chunks follow the face list";
  EXPECT_NE(FindChunk(*mesh, {0x4120, 0x4150}), nullptr);
}

TEST(PakgenMesh, IsAClosedOutwardWoundSolidThatFitsTheOpeningScene) {
  const Bytes& b = BuiltPackage().at("object3.3ds");
  const Chunk main = WalkChunks(b);
  const Chunk* mesh = FindChunk(main, {0x3D3D, 0x4000, 0x4100});
  ASSERT_NE(mesh, nullptr);
  const Chunk *vertexList = FindChunk(*mesh, {0x4110}), *faceList = FindChunk(*mesh, {0x4120}),
              *mappingList = FindChunk(*mesh, {0x4140});
  ASSERT_TRUE(vertexList && faceList && mappingList);
  const std::size_t v = vertexList->payload, f = faceList->payload, m = mappingList->payload;
  const unsigned vertexCount = U16(b, v), faceCount = U16(b, f), mappingCount = U16(b, m);
  EXPECT_GE(faceCount, 2000u);
  EXPECT_LE(faceCount, 10922u);  // three drawn vertices a face must fit a signed 16-bit count
  EXPECT_LE(vertexCount, 32767u);
  EXPECT_EQ(mappingCount, vertexCount);
  std::vector<Vec> p(vertexCount);
  double radius = 0;
  for (unsigned i = 0; i < vertexCount; ++i) {
    for (int k = 0; k < 3; ++k) p[i][k] = F32(b, v + 2 + 12 * i + 4 * k);
    radius = std::max(radius, std::sqrt(p[i][0] * p[i][0] + p[i][1] * p[i][1] + p[i][2] * p[i][2]));
    for (int k = 0; k < 2; ++k) {
      const float uv = F32(b, m + 2 + 8 * i + 4 * k);
      EXPECT_TRUE(uv >= 0 && uv <= 1) << "mapping of vertex " << i;
    }
  }
  // Seen from about 590 units with a 53 degree view, a radius of 100 stays in the picture.
  EXPECT_LE(radius, 100);
  EXPECT_GE(radius, 60);
  // Weld by position: copies made for the mapping's seams are one point of the solid.
  std::map<Vec, unsigned> welded;
  std::vector<unsigned> id(vertexCount);
  for (unsigned i = 0; i < vertexCount; ++i) id[i] = welded.emplace(p[i], static_cast<unsigned>(welded.size())).first->second;
  std::map<std::pair<unsigned, unsigned>, int> edges;
  double volume = 0;
  for (unsigned i = 0; i < faceCount; ++i) {
    const std::size_t at = f + 2 + 8 * i;
    const unsigned a = U16(b, at), bb = U16(b, at + 2), c = U16(b, at + 4);
    ASSERT_LT(std::max({a, bb, c}), vertexCount);
    for (auto [from, to] : {std::pair{a, bb}, std::pair{bb, c}, std::pair{c, a}}) ++edges[{id[from], id[to]}];
    const Vec &pa = p[a], &pb = p[bb], &pc = p[c];
    const Vec e1{pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]}, e2{pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
    const Vec n{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    EXPECT_GT(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1e-3) << "face " << i << " has no area";
    volume += (pa[0] * n[0] + pa[1] * n[1] + pa[2] * n[2]) / 6;
  }
  // Closed and consistently wound: every edge is crossed once in each direction.
  for (const auto& [edge, count] : edges) {
    ASSERT_EQ(count, 1) << "edge " << edge.first << "-" << edge.second << " used " << count << " times";
    ASSERT_EQ(edges.count({edge.second, edge.first}), 1u) << "edge " << edge.first << "-" << edge.second << " is open";
  }
  // (b - a) x (c - a) points out of the solid, so front faces turn clockwise on the screen.
  EXPECT_GT(volume, 0);
}

}  // namespace
