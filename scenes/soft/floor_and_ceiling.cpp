#include "scenes/soft/floor_and_ceiling.h"

#include <cmath>
#include <cstdlib>

#include "data/pcx_loader.h"
#include "display/present.h"
#include "core/canvas.h"
#include "core/tables.h"
#include "core/truncate.h"

FloorAndCeilingScene FloorAndCeiling;

void SetUpFloorAndCeiling() {
  FloorAndCeiling.texture = LoadPcx("texture7.pcx");
  AllocateRayGrid(FloorAndCeiling.grid, kPlaneGridRows);
}

void CleanUpFloorAndCeiling() {
  FreeRayGrid(FloorAndCeiling.grid);
  std::free(FloorAndCeiling.texture);
  FloorAndCeiling.texture = nullptr;
}

RayNode CastPlaneRay(const TurnedRay& ray) {
  const float s = ray.d[1] >= 0.0f ? 100.0f : -100.0f;
  // A ray with d1 = -1 divides by zero; the checked conversion keeps it defined.
  const float t = s / (ray.d[1] + 1.0f);
  const float sideways = std::fabs(t * ray.d[0]);
  const float depth = std::fabs(t * ray.d[2]);
  const float fog = std::fabs(50.0f * t);
  return RayNode{static_cast<std::uint32_t>(TruncateToInt32(sideways)),
                 static_cast<std::uint32_t>(TruncateToInt32(depth)),
                 static_cast<std::uint32_t>(TruncateToInt32(fog))};
}

std::int32_t PlaneRowOffset(std::uint32_t elapsed) {
  // Past 2^32 - 1000 ms the sum leaves the 32-bit range.
  return TruncateToInt32(500.0 * std::sin(static_cast<double>(elapsed) / 1300.0) +
                         static_cast<double>(elapsed / 2));
}

void PaintFloorAndCeiling(std::uint32_t elapsed, std::uint32_t* canvas, PixelPath path) {
  RotationMatrix view;
  BuildViewMatrix(view, static_cast<std::int32_t>(90.0f * SinTable[(elapsed / 4) & kTableMask]),
                  static_cast<std::int32_t>(-100.0f * SinTable[(elapsed / 5) & kTableMask]),
                  static_cast<std::int32_t>(233.0f * SinTable[(elapsed / 12) & kTableMask]));
  CastRayGrid(FloorAndCeiling.grid, view, kPlaneCentreRow, kPlaneLastRow, CastPlaneRay);
  RefineRayGrid(FloorAndCeiling.grid, kPlaneLastRow);
  FillFromRayGrid(FloorAndCeiling.grid, FloorAndCeiling.texture, PlaneRowOffset(elapsed), kCanvasHeight, canvas,
                  path);
}

void DrawFloorAndCeiling(std::uint32_t elapsed, std::uint32_t* canvas) {
  PaintFloorAndCeiling(elapsed, canvas, RenderPixelPath);
  CopyCanvas();
}
