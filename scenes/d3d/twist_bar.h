// The twisting bar: a long square bar, 76 units along x and 18 by 18 across, that twists back and
// forth about its own long axis. Four sides of 10 x 20 vertices and two end caps of four.
#pragma once

#include <cstdint>

#include "scenes/d3d/mesh_arrays.h"

inline constexpr int kBarRows = 10;
inline constexpr int kBarColumns = 20;
inline constexpr int kBarSideVertices = kBarRows * kBarColumns;
inline constexpr int kBarCapsFirst = 4 * kBarSideVertices;  // vertices 800 to 807
inline constexpr int kBarVertices = kBarCapsFirst + 8;
inline constexpr int kBarTriangles = 4 * 2 * (kBarRows - 1) * (kBarColumns - 1) + 4;

struct TwistBar {
  D3DVECTOR* basePositions;
  MeshArrays mesh;  // positions: the twisted ones

  void allocate();
  // Positions, texture coordinates and indices. The twisted shape starts as the straight bar
  // with zero normals, which is what the very first frame draws before any twist is computed.
  void build();
  // The shape for time t: the bar turned about x by an angle growing linearly from the middle.
  void twist(std::uint32_t t);
  void computeNormals() { mesh.computeNormals(); }
  // Places the bar for time t and draws its present shape with `texture`.
  void draw(std::uint32_t t, IDirect3DTexture2* texture);
};

extern TwistBar Bar;

// The twist factor at time t: 0.6 sin(t / 300), swinging with a period of about 1885 ms.
float TwistFactor(std::uint32_t t);
// A base point turned about the x axis by x b / pi radians.
D3DVECTOR TwistPoint(const D3DVECTOR& p, float b);
