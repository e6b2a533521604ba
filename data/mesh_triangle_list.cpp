#include "data/mesh_triangle_list.h"

#include <cstdlib>

#include "core/errors.h"

MeshTriangleList::~MeshTriangleList() { std::free(vertices); }

void MeshTriangleList::build(const Mesh3ds& source) {
  if (source.faceCount > kMostTriangleListFaces) FatalError("Too many faces in 3ds file");
  std::free(vertices);
  vertices = nullptr;
  vertexCount = static_cast<std::int16_t>(3 * source.faceCount);
  faceCount = source.faceCount;
  mappingCount = source.mappingCount;
  vertices = static_cast<MeshVertex*>(CheckedAlloc(sizeof(MeshVertex) * vertexCount));

  for (int i = 0; i < faceCount; ++i) {
    const MeshFace& face = source.faces[i];
    const std::uint16_t corners[3] = {face.a, face.b, face.c};
    for (int k = 0; k < 3; ++k) {
      const MeshVector& p = source.vertices[corners[k]];
      const MeshVector& n = source.vertexNormals[corners[k]];
      // Without mapping coordinates, and for vertices past a short mapping list, the texture
      // coordinates are zero rather than whatever the heap held.
      MeshMapping uv{0, 0};
      if (corners[k] < mappingCount) uv = source.mapping[corners[k]];
      vertices[3 * i + k] = MeshVertex{p.x, p.y, p.z, n.x, n.y, n.z, uv.u, uv.v};
    }
  }
}
