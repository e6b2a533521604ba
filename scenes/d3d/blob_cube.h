// The bulging cube: six separate 16 x 16 vertex faces (edges and corners not shared, so they stay
// sharp) whose surface three moving spheres push outward into round bulges.
#pragma once

#include <cstdint>

#include "scenes/d3d/mesh_arrays.h"

inline constexpr int kCubeFaceSide = 16;
inline constexpr int kCubeFaceVertices = kCubeFaceSide * kCubeFaceSide;
inline constexpr int kCubeVertices = 6 * kCubeFaceVertices;
inline constexpr int kCubeTriangles = 6 * 2 * (kCubeFaceSide - 1) * (kCubeFaceSide - 1);

struct BlobSphere {
  D3DVECTOR centre;
  float radius;
};

struct BlobCube {
  D3DVECTOR* basePositions;
  MeshArrays mesh;  // positions: the deformed ones

  void allocate();
  // Vertex (f, i, j) of face f, row i and column j is element 256 f + 16 i + j.
  void build();
  void buildIndices();
  // Pushes the base positions out of the three spheres of time t, in sphere order.
  void deform(std::uint32_t t);
  void computeNormals() { mesh.computeNormals(); }
  // Turns and places the cube for time t and draws it with the current texture.
  void draw(std::uint32_t t);
};

extern BlobCube Cube;

// The three spheres at time t in milliseconds.
void BlobSpheres(std::uint32_t t, BlobSphere (&spheres)[3]);
// A point inside the sphere moves out along the ray from the centre onto its surface; a point on
// or outside it stays.
D3DVECTOR PushOutOfSphere(const D3DVECTOR& p, const BlobSphere& sphere);
