#include "scenes/d3d/vertex_normals.h"

#include <cmath>

void AverageVertexNormals(const D3DVECTOR* positions, int n, const WORD* indices, int m, D3DVECTOR* normals,
                          std::int32_t* counts) {
  for (int v = 0; v < n; ++v) {
    normals[v].x = normals[v].y = normals[v].z = 0.0f;
    counts[v] = 0;
  }
  for (int f = 0; f < m; ++f) {
    const WORD* corner = indices + 3 * f;
    const D3DVECTOR& p0 = positions[corner[0]];
    const D3DVECTOR& p1 = positions[corner[1]];
    const D3DVECTOR& p2 = positions[corner[2]];
    const float e1x = p1.x - p0.x, e1y = p1.y - p0.y, e1z = p1.z - p0.z;
    const float e2x = p2.x - p0.x, e2y = p2.y - p0.y, e2z = p2.z - p0.z;
    float fx = e1y * e2z - e1z * e2y;
    float fy = e1z * e2x - e1x * e2z;
    float fz = e1x * e2y - e1y * e2x;
    const float length = std::sqrt(fx * fx + fy * fy + fz * fz);
    // A triangle squeezed to a line or a point (two bulges can push corners together) has no
    // direction: it still counts for its corners but adds nothing, instead of a 0/0 that would
    // spoil the lighting of all three.
    if (length > 0.0f) {
      fx /= length;
      fy /= length;
      fz /= length;
    } else {
      fx = fy = fz = 0.0f;
    }
    for (int k = 0; k < 3; ++k) {
      D3DVECTOR& normal = normals[corner[k]];
      normal.x += fx;
      normal.y += fy;
      normal.z += fz;
      ++counts[corner[k]];
    }
  }
  for (int v = 0; v < n; ++v) {
    if (counts[v] == 0) continue;
    const float count = static_cast<float>(counts[v]);
    normals[v].x /= count;
    normals[v].y /= count;
    normals[v].z /= count;
  }
}
