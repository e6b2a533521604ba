// The arrays an animated mesh object (wave grid, bulging cube, twisting bar) is drawn from, in the
// separate streams the strided draw takes: the moved positions and their normals, the fixed
// texture coordinates and triangle list, and the count scratch of the normal computation.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/direct3d/d3d.h"
#include "core/errors.h"

struct TexturePair {
  float u, v;
};

struct MeshArrays {
  D3DVECTOR* positions;
  D3DVECTOR* normals;
  TexturePair* texture;
  WORD* indices;
  std::int32_t* counts;
  int vertexCount;
  int triangleCount;

  // The five arrays, from CheckedAlloc and never freed.
  void allocate(int vertices, int triangles);
  // AverageVertexNormals over the positions.
  void computeNormals();
  // DrawIndexedPrimitiveStrided of the triangle list with the current world transform and texture.
  HRESULT draw() const;
};

// A flat face or side laid out as a grid: each coordinate of vertex (i, j), row i and column j, is
// constant + perRow i + perColumn j.
struct GridFace {
  struct Axis {
    float constant, perRow, perColumn;
  } x, y, z;

  D3DVECTOR at(int i, int j) const;
};

// One corner of a grid cell's two triangles, as rows and columns on from the cell's top left.
struct CellCorner {
  int row, column;
};

// Appends the two triangles of every cell of a grid of `cellRows` x `cellColumns` cells whose
// vertex (i, j) is first + rowStride i + j, corners in the order of `pattern`; returns the end.
WORD* AppendGridCells(WORD* out, int first, int rowStride, int cellRows, int cellColumns,
                      const CellCorner (&pattern)[6]);

// An uninitialised array of `count` elements from CheckedAlloc, never freed.
template <typename Element>
Element* AllocateArray(std::size_t count) {
  return static_cast<Element*>(CheckedAlloc(count * sizeof(Element)));
}
