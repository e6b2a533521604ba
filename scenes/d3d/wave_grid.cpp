#include "scenes/d3d/wave_grid.h"

#include "d3d/transforms.h"
#include "core/tables.h"
#include "core/truncate.h"

WaveGrid Wave;

namespace {

constexpr float kFifteenth = 0.06666667f;
// Columns 80 apart from x = -560, rows 60 apart from y = 450 down, all at z = 0.
constexpr GridFace kGrid = {{-560, 0, 80}, {450, -60, 0}, {0, 0, 0}};

}  // namespace

float WaveHeight(std::uint32_t t, float x, float y) {
  // Where the sum is negative (early in a slot, lower left of the grid) it truncates toward zero
  // and the table index is the low ten bits of its two's complement.
  const std::int32_t phase = TruncateToInt32(static_cast<double>(t) + 10.0 * (static_cast<double>(x) + y));
  return 220.0f * SinTable[static_cast<std::uint32_t>(phase) & kTableMask];
}

void WaveGrid::allocate() {
  basePositions = AllocateArray<D3DVECTOR>(kWaveVertices);
  mesh.allocate(kWaveVertices, kWaveTriangles);
}

void WaveGrid::build() {
  // x from -560 to 560 and y from 450 down to -390: centred on x = 0 but on y = 30.
  for (int a = 0; a < kWaveSide; ++a) {
    for (int k = 0; k < kWaveSide; ++k) {
      const int v = kWaveSide * a + k;
      basePositions[v] = kGrid.at(a, k);
      mesh.texture[v] = {static_cast<float>(k) * kFifteenth, static_cast<float>(a) * kFifteenth};
    }
  }
}

void WaveGrid::buildIndices() {
  static constexpr CellCorner kCell[6] = {{1, 1}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {0, 0}};
  AppendGridCells(mesh.indices, 0, kWaveSide, kWaveSide - 1, kWaveSide - 1, kCell);
}

void WaveGrid::animate(std::uint32_t t) {
  for (int v = 0; v < kWaveVertices; ++v) {
    const D3DVECTOR& base = basePositions[v];
    D3DVECTOR& p = mesh.positions[v];
    p.x = base.x;
    p.y = base.y;
    p.z = WaveHeight(t, base.x, base.y);
  }
}

void WaveGrid::draw() {
  RotateWorld(0, 0, 0);
  TranslateWorld(0.0f, 0.0f, 800.0f);
  mesh.draw();
}
