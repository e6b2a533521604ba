// The beat blur of the framed tunnel: the 512 x 180 tunnel area is rewritten in place, quadrant by
// quadrant from a wandering centre outward, each pixel mixed with a bilinear sample taken between
// it and the centre, so the light is carried outward in streaks.
#pragma once

#include <cstdint>

#include "scenes/soft/pixel_bytes.h"

inline constexpr int kTunnelAreaWidth = 512;
inline constexpr int kTunnelAreaRows = 180;

// Where the quadrants meet: columns i0 and below go left, i1 and above go right; rows likewise.
struct BlurSplit {
  int i0, i1, j0, j1;
};

// Fills the 512-entry column table and the 180-entry row table with the frame's 8.8 fixed-point
// displacements toward the centre, and gives back the split points.
BlurSplit ComputeBlurTables(std::uint32_t elapsed, std::int32_t* columnTable, std::int32_t* rowTable);

// Rewrites the tunnel area (rows of 512 pixels) with the blurred picture. The packed path works
// on the three colour bytes of a pixel at once in 16-bit lanes; the scalar path one byte at a
// time. Both give the same picture.
void ApplyRadialBlur(std::uint32_t* area, const std::int32_t* columnTable, const std::int32_t* rowTable,
                     const BlurSplit& split, PixelPath path);
