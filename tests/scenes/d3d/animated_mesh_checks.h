// The animated mesh objects built as their scenes' set-ups build them, and given back afterwards
// (the program keeps them to its end; a test gives them back so that leak checks stay quiet).
#pragma once

#include <cmath>
#include <cstdlib>

#include "scenes/d3d/mesh_arrays.h"

namespace bulge_flare {

template <typename Object>
void GiveBack(Object& object) {
  for (void* p : {static_cast<void*>(object.basePositions), static_cast<void*>(object.mesh.positions),
                  static_cast<void*>(object.mesh.normals), static_cast<void*>(object.mesh.texture),
                  static_cast<void*>(object.mesh.indices), static_cast<void*>(object.mesh.counts)}) {
    std::free(p);
  }
  object = Object{};
}

// The unit normal of a triangle of the object's present positions, in double precision.
struct Direction {
  double x, y, z;
};

inline Direction FaceNormal(const MeshArrays& mesh, int triangle) {
  const D3DVECTOR& a = mesh.positions[mesh.indices[3 * triangle]];
  const D3DVECTOR& b = mesh.positions[mesh.indices[3 * triangle + 1]];
  const D3DVECTOR& c = mesh.positions[mesh.indices[3 * triangle + 2]];
  const double e1[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
  const double e2[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
  Direction n{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  return {n.x / length, n.y / length, n.z / length};
}

// How far a triangle's normal points away from the origin: positive when it faces out of a solid
// around the origin.
inline double Outwardness(const MeshArrays& mesh, int triangle) {
  Direction centre{0, 0, 0};
  for (int k = 0; k < 3; ++k) {
    const D3DVECTOR& p = mesh.positions[mesh.indices[3 * triangle + k]];
    centre.x += p.x / 3.0;
    centre.y += p.y / 3.0;
    centre.z += p.z / 3.0;
  }
  const Direction n = FaceNormal(mesh, triangle);
  return n.x * centre.x + n.y * centre.y + n.z * centre.z;
}

}  // namespace bulge_flare
