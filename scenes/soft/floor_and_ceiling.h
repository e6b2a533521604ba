// The software picture of slot 4 on the beats of instrument 16: two endless textured planes, one
// above and one below the viewer, rolling, pitching and yawing, with a white fog in the distance.
#pragma once

#include <cstdint>

#include "scenes/soft/ray_grid.h"

inline constexpr int kPlaneGridRows = 288;
inline constexpr int kPlaneLastRow = 280;
inline constexpr int kPlaneCentreRow = 140;

struct FloorAndCeilingScene {
  std::uint32_t* texture;  // 256 x 256
  RayGrid grid;            // 288 rows
};

extern FloorAndCeilingScene FloorAndCeiling;

// The set-up, run once by SetUpScenes, and the clean-up, run by CleanUpScenes.
void SetUpFloorAndCeiling();
void CleanUpFloorAndCeiling();

// A node of the planes: the sign of d1 picks the plane above or below; U runs sideways, V along
// the depth, W is the fog.
RayNode CastPlaneRay(const TurnedRay& ray);
// How far the texture has slid along the depth at elapsed time a.
std::int32_t PlaneRowOffset(std::uint32_t elapsed);

// Draws the whole canvas for elapsed time a on either pixel path.
void PaintFloorAndCeiling(std::uint32_t elapsed, std::uint32_t* canvas, PixelPath path);
// The draw operation the slot-4 scene hands its frame to: paints on the render path and copies
// the canvas out.
void DrawFloorAndCeiling(std::uint32_t elapsed, std::uint32_t* canvas);
