#include "scenes/d3d/blob_cube.h"

#include <cmath>

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "scenes/d3d/table_trig.h"

BlobCube Cube;

namespace {

constexpr float kFifteenth = 0.06666667f;

// The six faces, 30 units across, each facing out of the cube: x, y and z of vertex (i, j).
constexpr GridFace kFaces[6] = {
    {{-15, 0, 2}, {15, -2, 0}, {-15, 0, 0}},  // front, towards the eye
    {{-15, 0, 2}, {-15, 2, 0}, {15, 0, 0}},   // back
    {{-15, 0, 0}, {15, -2, 0}, {15, 0, -2}},  // left
    {{15, 0, 0}, {15, -2, 0}, {-15, 0, 2}},   // right
    {{-15, 0, 2}, {15, 0, 0}, {15, -2, 0}},   // top
    {{-15, 0, 2}, {-15, 0, 0}, {-15, 2, 0}},  // bottom
};

D3DVECTOR Vector(double x, double y, double z) {
  D3DVECTOR v;
  v.x = static_cast<float>(x);
  v.y = static_cast<float>(y);
  v.z = static_cast<float>(z);
  return v;
}

}  // namespace

void BlobSpheres(std::uint32_t t, BlobSphere (&spheres)[3]) {
  spheres[0] = {Vector(9.0 * TableCos(t / 3), 9.0 * TableSin(t / 4), 9.0 * TableCos(t / 2)),
                static_cast<float>(10.0 + 9.0 * TableSin(t / 2))};
  spheres[1] = {Vector(9.0 * TableSin(t / 3), 9.0 * TableCos(t / 2), -9.0 * TableCos(t)),
                static_cast<float>(10.0 + 9.0 * TableCos(t / 2))};
  spheres[2] = {Vector(9.0 * TableCos(t / 2), -9.0 * TableSin(t / 5), 9.0 * TableSin(t / 6)),
                static_cast<float>(10.0 - 9.0 * TableSin(t))};
}

D3DVECTOR PushOutOfSphere(const D3DVECTOR& p, const BlobSphere& sphere) {
  const float dx = p.x - sphere.centre.x, dy = p.y - sphere.centre.y, dz = p.z - sphere.centre.z;
  const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
  // The centres stay within 9 of the middle and the points on or outside the faces at 15, so d
  // never comes near 0.
  if (!(d < sphere.radius)) return p;
  const float scale = sphere.radius / d;
  D3DVECTOR moved;
  moved.x = sphere.centre.x + dx * scale;
  moved.y = sphere.centre.y + dy * scale;
  moved.z = sphere.centre.z + dz * scale;
  return moved;
}

void BlobCube::allocate() {
  basePositions = AllocateArray<D3DVECTOR>(kCubeVertices);
  mesh.allocate(kCubeVertices, kCubeTriangles);
}

void BlobCube::build() {
  for (int f = 0; f < 6; ++f) {
    for (int i = 0; i < kCubeFaceSide; ++i) {
      for (int j = 0; j < kCubeFaceSide; ++j) {
        const int v = kCubeFaceVertices * f + kCubeFaceSide * i + j;
        basePositions[v] = kFaces[f].at(i, j);
        mesh.texture[v] = {static_cast<float>(j) * kFifteenth, static_cast<float>(i) * kFifteenth};
      }
    }
  }
}

void BlobCube::buildIndices() {
  static constexpr CellCorner kCell[6] = {{1, 1}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {0, 0}};
  WORD* out = mesh.indices;
  for (int f = 0; f < 6; ++f) {
    out = AppendGridCells(out, kCubeFaceVertices * f, kCubeFaceSide, kCubeFaceSide - 1, kCubeFaceSide - 1, kCell);
  }
}

void BlobCube::deform(std::uint32_t t) {
  BlobSphere spheres[3];
  BlobSpheres(t, spheres);
  // The bulges compound: a point pushed out by one sphere may be pushed on by the next, never back.
  for (int v = 0; v < kCubeVertices; ++v) {
    D3DVECTOR p = basePositions[v];
    for (const BlobSphere& sphere : spheres) p = PushOutOfSphere(p, sphere);
    mesh.positions[v] = p;
  }
}

void BlobCube::draw(std::uint32_t t) {
  Device3D->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
  RotateWorld(static_cast<TurnUnits>(t / 2), static_cast<TurnUnits>(t / 3), static_cast<TurnUnits>(t / 4));
  TranslateWorld(static_cast<float>(15.0 * TableSin(t / 2)), static_cast<float>(10.0 * TableCos(t / 2)),
                 static_cast<float>(10.0 * TableSin(t) + 100.0));
  mesh.draw();
}
