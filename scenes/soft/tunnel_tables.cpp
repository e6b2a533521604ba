#include "scenes/soft/tunnel_tables.h"

#include <cmath>

void FillTunnelTables(const TunnelTableShape& shape, std::int32_t* depth, std::int32_t* angle) {
  for (int r = 0; r < shape.rows; ++r) {
    const double y = r - shape.centreRow;
    for (int c = 0; c < shape.columns; ++c) {
      const double x = c - shape.centreColumn;
      const int i = r * shape.columns + c;
      // The distance is at least 0, so the depth stays within depthScale and the cast is exact.
      depth[i] = static_cast<std::int32_t>(shape.depthScale / (std::sqrt(x * x + y * y) + 1.0));
      // The column offset over the row offset: the angle is 0 straight down from the centre.
      angle[i] = static_cast<std::int32_t>(std::atan2(x, y) * shape.angleFactor * shape.angleScale);
    }
  }
}
