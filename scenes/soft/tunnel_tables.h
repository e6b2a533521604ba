// Depth and angle tables of a tunnel seen head-on: for every entry, how deep into the tunnel and
// how far around it the point at that place looks, as seen from one centre.
#pragma once

#include <cstdint>

struct TunnelTableShape {
  int rows;
  int columns;
  double centreRow;     // the offsets are row - centreRow and column - centreColumn
  double centreColumn;
  double depthScale;    // depth = trunc(depthScale / (distance + 1))
  // angle = trunc(atan2(column offset, row offset) * angleFactor * angleScale), multiplied in
  // that order; the two factors keep the rounding of the production's own constants.
  double angleFactor;
  double angleScale;
};

// Fills rows x columns entries of both tables, row by row (entry (r, c) at columns * r + c).
void FillTunnelTables(const TunnelTableShape& shape, std::int32_t* depth, std::int32_t* angle);
