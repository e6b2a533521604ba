// A loaded mesh as a flat triangle list: three vertices a face, ready to draw in one call.
#pragma once

#include <cstdint>

#include "data/mesh3ds.h"

// Position, normal and one pair of texture coordinates: the layout of a Direct3D vertex
// (D3DFVF_VERTEX), 32 bytes.
struct MeshVertex {
  float x, y, z;
  float nx, ny, nz;
  float tu, tv;
};
static_assert(sizeof(MeshVertex) == 32);

// Three vertices a face must stay countable in 16 signed bits.
inline constexpr int kMostTriangleListFaces = 10922;

class MeshTriangleList {
 public:
  MeshTriangleList() = default;
  ~MeshTriangleList();
  MeshTriangleList(const MeshTriangleList&) = delete;
  MeshTriangleList& operator=(const MeshTriangleList&) = delete;

  // Vertices 3i, 3i + 1 and 3i + 2 are face i's a, b and c, with their positions, vertex
  // normals and, when the mesh has mapping coordinates, their (u, v).
  void build(const Mesh3ds& source);

  std::int16_t vertexCount = 0;
  std::int16_t faceCount = 0;
  std::int16_t mappingCount = 0;
  MeshVertex* vertices = nullptr;
};
