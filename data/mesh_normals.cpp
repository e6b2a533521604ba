// The normals of a loaded mesh: a unit normal for every face, and for every vertex the mean of
// the unit normals of the faces that use it.
#include <cmath>

#include "data/checked_buffer.h"
#include "data/mesh3ds.h"

void Mesh3ds::computeMeshNormals() {
  CheckedBuffer<int> users = AllocateChecked<int>(vertexCount);
  for (int v = 0; v < vertexCount; ++v) {
    vertexNormals[v] = MeshVector{0, 0, 0};
    users[v] = 0;
  }
  for (int f = 0; f < faceCount; ++f) {
    const MeshFace& face = faces[f];
    const MeshVector& a = vertices[face.a];
    const MeshVector& b = vertices[face.b];
    const MeshVector& c = vertices[face.c];
    const float e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.z - a.z;
    const float e2x = c.x - a.x, e2y = c.y - a.y, e2z = c.z - a.z;
    MeshVector n{e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    // A face of no area has no direction: it keeps a zero normal and leaves its vertices'
    // means to the faces that have one, instead of spreading a division by zero.
    if (!(length > 0) || !std::isfinite(length)) {
      faceNormals[f] = MeshVector{0, 0, 0};
      continue;
    }
    n = MeshVector{n.x / length, n.y / length, n.z / length};
    faceNormals[f] = n;
    for (std::uint16_t index : {face.a, face.b, face.c}) {
      vertexNormals[index].x += n.x;
      vertexNormals[index].y += n.y;
      vertexNormals[index].z += n.z;
      ++users[index];
    }
  }
  for (int v = 0; v < vertexCount; ++v) {
    if (users[v] == 0) continue;
    const float count = static_cast<float>(users[v]);
    vertexNormals[v] = MeshVector{vertexNormals[v].x / count, vertexNormals[v].y / count, vertexNormals[v].z / count};
  }
}
