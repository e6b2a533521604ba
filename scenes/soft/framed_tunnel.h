// Slot 11: a square tunnel seen from inside between two picture frames. The beat (BeatFlagA)
// narrows the tunnel and blurs it radially.
#pragma once

#include <cstdint>

#include "scenes/soft/ray_grid.h"

inline constexpr int kTunnelGridRows = 188;
inline constexpr int kTunnelLastRow = 184;
inline constexpr int kTunnelCentreRow = 90;
inline constexpr int kTunnelTopRow = 50;        // canvas row of tunnel row 0
inline constexpr int kTunnelDrawnRows = 180;
inline constexpr int kLowerFrameTopRow = 227;   // the lower frame covers tunnel rows 177 to 179
inline constexpr int kFrameRows = 50;

struct FramedTunnelScene {
  std::uint32_t* texture;     // 256 x 256
  RayGrid grid;               // 188 rows
  std::int32_t* columnTable;  // 512 blur displacements, 8.8 fixed point
  std::int32_t* rowTable;     // 180 blur displacements
  std::uint32_t* upperFrame;  // 512 x 50
  std::uint32_t* lowerFrame;  // 512 x 50
};

extern FramedTunnelScene FramedTunnel;

// A node of the tunnel: the larger of d0 and d1 (d0 on a tie) says which wall the ray meets at
// the given half-width; U runs across the wall, V along the depth, W is the fog.
RayNode CastTunnelRay(const TurnedRay& ray, float halfWidth);

// The set-up, run once by SetUpScenes: the tunnel narrows and blurs on every note of instrument 1.
void SetUpFramedTunnel();

// Draws canvas rows 0 to 276 for elapsed time a on either pixel path; rows 277 to 279 are left
// as they are.
void PaintFramedTunnel(std::uint32_t elapsed, std::uint32_t* canvas, PixelPath path);
// The slot's render operation: paints on the render path and copies the canvas to the display.
void RenderFramedTunnel(std::uint32_t elapsed, std::uint32_t* canvas);
