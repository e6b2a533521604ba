// The machinery of the two ray-cast software scenes: rotation matrices that turn the view rays,
// and a grid of texture coordinates and fog cast at every eighth pixel, refined to every pixel by
// midpoint averaging, then used to fill the canvas from a 256 x 256 texture with a grey fog.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scenes/soft/pixel_bytes.h"

// Sixteen floats, row-major, element [r][c] at 4 * r + c; only the upper-left 3 x 3 is used.
// Vectors are rows multiplied on the left. Its rotations place the signs the other way round
// from the 3D device's transforms; the two are not interchangeable.
struct RotationMatrix {
  float m[16];
};

void SetIdentity(RotationMatrix& matrix);
// Each writes only its four entries; angles are table angles (1024 to a turn, masked with 1023).
void SetRotationX(RotationMatrix& matrix, std::int32_t angle);
void SetRotationY(RotationMatrix& matrix, std::int32_t angle);
void SetRotationZ(RotationMatrix& matrix, std::int32_t angle);
// a = a x b over the upper-left 3 x 3; b may be a itself.
void MultiplyInPlace(RotationMatrix& a, const RotationMatrix& b);
// M = ((identity x X) x Y) x Z.
void BuildViewMatrix(RotationMatrix& matrix, std::int32_t angleX, std::int32_t angleY, std::int32_t angleZ);

struct TurnedRay {
  float d[3];
};
// d[c] = v0 * M[0][c] + v1 * M[1][c] + v2 * M[2][c].
TurnedRay TurnVector(const RotationMatrix& matrix, float v0, float v1, float v2);

inline constexpr int kRayGridColumns = 513;  // one more than the canvas, for the last coarse column
inline constexpr int kRayGridStep = 8;

// Texture column U, texture row V and fog W, entry (y, x) at 513 * y + x. The values are used as
// unsigned 32-bit numbers: averaged without sign, and only their low eight bits select a texel.
struct RayGrid {
  std::uint32_t* U;
  std::uint32_t* V;
  std::uint32_t* W;
};

struct RayNode {
  std::uint32_t u, v, w;
};

inline std::size_t RayGridIndex(int y, int x) {
  return static_cast<std::size_t>(y) * kRayGridColumns + static_cast<std::size_t>(x);
}

// Three arrays of rows x 513 entries from CheckedAlloc, and their release.
void AllocateRayGrid(RayGrid& grid, int rows);
void FreeRayGrid(RayGrid& grid);

// Casts the view vector (x - 256, y - centreRow, 200) of every coarse node up to lastRow through
// the matrix and stores what the scene's rule makes of the turned ray.
template <class CastRule>
void CastRayGrid(RayGrid& grid, const RotationMatrix& matrix, int centreRow, int lastRow, CastRule cast) {
  for (int y = 0; y <= lastRow; y += kRayGridStep) {
    for (int x = 0; x < kRayGridColumns; x += kRayGridStep) {
      const RayNode node =
          cast(TurnVector(matrix, static_cast<float>(x - 256), static_cast<float>(y - centreRow), 200.0f));
      const std::size_t n = RayGridIndex(y, x);
      grid.U[n] = node.u;
      grid.V[n] = node.v;
      grid.W[n] = node.w;
    }
  }
}

// Fills every entry of rows 0 to lastRow from the coarse nodes: three halving passes along the
// coarse rows, then three down the columns. Each pass reads what the one before wrote.
void RefineRayGrid(RayGrid& grid, int lastRow);

// Draws grid rows 0 .. rows - 1, columns 0 .. 511, into the canvas rows starting at target: the
// texel at ((V + rowOffset) mod 256, U mod 256) plus a grey of the fog W clamped to 255, added with
// saturation in blue, green and red. Both paths give the same bytes.
void FillFromRayGrid(const RayGrid& grid, const std::uint32_t* texture, std::int32_t rowOffset, int rows,
                     std::uint32_t* target, PixelPath path);
