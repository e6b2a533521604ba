// Slots 6 and 8: four wandering centres, each the far end of a tunnel; their depths and angles
// add up, so one texture swirls into four dark holes that merge where they meet.
#pragma once

#include <cstdint>

#include "scenes/soft/pixel_bytes.h"

// The tables are centred on row 280, column 512, so that a centre anywhere on the canvas (and a
// row below it) still finds table entries for every canvas pixel.
inline constexpr int kFieldTableRows = 560;
inline constexpr int kFieldTableColumns = 1024;
inline constexpr int kFieldCentres = 4;

struct TunnelFieldScene {
  std::uint32_t* texture;  // 256 x 256
  std::int32_t* depth;     // kFieldTableRows x kFieldTableColumns
  std::int32_t* angle;     // likewise
};

extern TunnelFieldScene TunnelField;

// A centre's place in the tables: canvas pixel (row, column) reads entry (row + y, column + x).
struct FieldShift {
  int y;
  int x;
};

void SetUpTunnelFieldScene();
void RenderTunnelFieldScene(std::uint32_t elapsed, std::uint32_t* canvas);
void CleanUpTunnelFieldScene();

// Fills both tables of the scene (already allocated).
void FillTunnelFieldTables();
// The four centres at `elapsed`.
void ComputeFieldShifts(std::uint32_t elapsed, FieldShift shifts[kFieldCentres]);
// Draws the frame at `elapsed` into the canvas without showing it.
void DrawTunnelFieldFrame(std::uint32_t elapsed, std::uint32_t* canvas, PixelPath path);
