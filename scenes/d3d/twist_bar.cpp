#include "scenes/d3d/twist_bar.h"

#include <cmath>

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "core/errors.h"
#include "scenes/d3d/table_trig.h"

TwistBar Bar;

namespace {

// The four sides, each facing out of the bar: x, y and z of vertex (i, j). The columns sit at
// x = -38, -34, ..., 38, so no side vertex lies on the middle.
constexpr GridFace kSides[4] = {
    {{-38, 0, 4}, {9, -2, 0}, {-9, 0, 0}},
    {{38, 0, -4}, {9, -2, 0}, {9, 0, 0}},
    {{-38, 0, 4}, {9, 0, 0}, {9, -2, 0}},
    {{-38, 0, 4}, {-9, 0, 0}, {-9, 2, 0}},
};

struct CapVertex {
  float x, y, z, u, v;
};

constexpr CapVertex kCaps[8] = {
    {38, 9, -9, 0, 0},  {38, 9, 9, 1, 0},  {38, -9, -9, 0, 1},  {38, -9, 9, 1, 1},
    {-38, 9, 9, 1, 0},  {-38, 9, -9, 0, 0}, {-38, -9, 9, 1, 1}, {-38, -9, -9, 0, 1},
};

constexpr WORD kCapTriangles[12] = {801, 803, 802, 801, 802, 800, 805, 807, 806, 805, 806, 804};

constexpr double kInversePi = 0.31831015504887655;  // 1 / 3.14159

}  // namespace

float TwistFactor(std::uint32_t t) { return static_cast<float>(0.6 * std::sin(t * 0.0033333333333333335)); }

D3DVECTOR TwistPoint(const D3DVECTOR& p, float b) {
  const double theta = p.x * static_cast<double>(b) * kInversePi;
  const double c = std::cos(theta), s = std::sin(theta);
  D3DVECTOR twisted;
  twisted.x = p.x;
  twisted.y = static_cast<float>(p.y * c - p.z * s);
  twisted.z = static_cast<float>(p.z * c + p.y * s);
  return twisted;
}

void TwistBar::allocate() {
  basePositions = AllocateArray<D3DVECTOR>(kBarVertices);
  mesh.allocate(kBarVertices, kBarTriangles);
}

void TwistBar::build() {
  for (int s = 0; s < 4; ++s) {
    for (int i = 0; i < kBarRows; ++i) {
      for (int j = 0; j < kBarColumns; ++j) {
        const int v = kBarSideVertices * s + kBarColumns * i + j;
        basePositions[v] = kSides[s].at(i, j);
        mesh.texture[v] = {static_cast<float>(0.05 * j), static_cast<float>(0.1 * i)};
      }
    }
  }
  for (int c = 0; c < 8; ++c) {
    D3DVECTOR& p = basePositions[kBarCapsFirst + c];
    p.x = kCaps[c].x;
    p.y = kCaps[c].y;
    p.z = kCaps[c].z;
    mesh.texture[kBarCapsFirst + c] = {kCaps[c].u, kCaps[c].v};
  }

  static constexpr CellCorner kCell[6] = {{1, 1}, {1, 0}, {0, 0}, {1, 1}, {0, 0}, {0, 1}};
  WORD* out = mesh.indices;
  for (int s = 0; s < 4; ++s) {
    out = AppendGridCells(out, kBarSideVertices * s, kBarColumns, kBarRows - 1, kBarColumns - 1, kCell);
  }
  for (WORD corner : kCapTriangles) *out++ = corner;

  for (int v = 0; v < kBarVertices; ++v) {
    mesh.positions[v] = basePositions[v];
    mesh.normals[v].x = mesh.normals[v].y = mesh.normals[v].z = 0.0f;
  }
}

void TwistBar::twist(std::uint32_t t) {
  const float b = TwistFactor(t);
  for (int v = 0; v < mesh.vertexCount; ++v) mesh.positions[v] = TwistPoint(basePositions[v], b);
}

void TwistBar::draw(std::uint32_t t, IDirect3DTexture2* texture) {
  if (FAILED(Device3D->SetTexture(0, texture))) FatalError("Unable to set texture");
  RotateWorld(0, 0, static_cast<TurnUnits>(t / 4));
  TranslateWorld(static_cast<float>(10.0 * TableSin(t / 4)), static_cast<float>(-8.0 * TableCos(t / 4)),
                 static_cast<float>(10.0 * TableSin(t / 3) + 80.0));
  mesh.draw();
}
