// The wave grid: a 15 x 15 vertex height field whose heights run as a sine wave along the
// diagonal, the textured backdrop behind the bulging cube and behind the twisting bar. One
// instance serves both; every frame is a function of the time alone.
#pragma once

#include <cstdint>

#include "scenes/d3d/mesh_arrays.h"

inline constexpr int kWaveSide = 15;
inline constexpr int kWaveVertices = kWaveSide * kWaveSide;
inline constexpr int kWaveTriangles = 2 * (kWaveSide - 1) * (kWaveSide - 1);

struct WaveGrid {
  D3DVECTOR* basePositions;
  MeshArrays mesh;  // positions: the animated ones

  void allocate();
  // Base positions and texture coordinates: vertex v(a, k) of row a and column k is element
  // 15 a + k.
  void build();
  void buildIndices();
  // Heights for the time t in milliseconds.
  void animate(std::uint32_t t);
  void computeNormals() { mesh.computeNormals(); }
  // Places the grid 790 units in front of the eye and draws it with the current texture.
  void draw();
};

extern WaveGrid Wave;

// The height of a vertex at (x, y) at time t.
float WaveHeight(std::uint32_t t, float x, float y);
