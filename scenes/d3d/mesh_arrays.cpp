#include "scenes/d3d/mesh_arrays.h"

#include "d3d/device3d.h"
#include "scenes/d3d/vertex_normals.h"

void MeshArrays::allocate(int vertices, int triangles) {
  const auto n = static_cast<std::size_t>(vertices);
  positions = AllocateArray<D3DVECTOR>(n);
  normals = AllocateArray<D3DVECTOR>(n);
  texture = AllocateArray<TexturePair>(n);
  indices = AllocateArray<WORD>(3 * static_cast<std::size_t>(triangles));
  counts = AllocateArray<std::int32_t>(n);
  vertexCount = vertices;
  triangleCount = triangles;
}

void MeshArrays::computeNormals() {
  AverageVertexNormals(positions, vertexCount, indices, triangleCount, normals, counts);
}

HRESULT MeshArrays::draw() const {
  D3DDRAWPRIMITIVESTRIDEDDATA data{};
  data.position = {positions, sizeof(D3DVECTOR)};
  data.normal = {normals, sizeof(D3DVECTOR)};
  data.textureCoords[0] = {texture, sizeof(TexturePair)};
  return Device3D->DrawIndexedPrimitiveStrided(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, &data,
                                               static_cast<DWORD>(vertexCount), indices,
                                               static_cast<DWORD>(3 * triangleCount), 0);
}

D3DVECTOR GridFace::at(int i, int j) const {
  const float row = static_cast<float>(i), column = static_cast<float>(j);
  D3DVECTOR p;
  p.x = x.constant + x.perRow * row + x.perColumn * column;
  p.y = y.constant + y.perRow * row + y.perColumn * column;
  p.z = z.constant + z.perRow * row + z.perColumn * column;
  return p;
}

WORD* AppendGridCells(WORD* out, int first, int rowStride, int cellRows, int cellColumns,
                      const CellCorner (&pattern)[6]) {
  for (int r = 0; r < cellRows; ++r) {
    for (int c = 0; c < cellColumns; ++c) {
      for (const CellCorner& corner : pattern) {
        *out++ = static_cast<WORD>(first + rowStride * (r + corner.row) + c + corner.column);
      }
    }
  }
  return out;
}
