// The fifth stage: triangle set-up and rasterising. Pixel centres sit at integer coordinates;
// a centre on an edge belongs to the triangle only for a top or a left edge, so triangles that
// share an edge cover each pixel along it exactly once.
#pragma once

#include "platform/direct3d/pipeline/pipeline.h"

void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const RasterContext& context);

// DrawTriangle in two steps: the set-up, false when the triangle draws nothing (culled, without
// area once snapped, or with no row inside the scissor) ...
bool SetUpTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const RasterContext& context,
                   TriangleSetup* setup);
// ... and its rows from `top` to before `bottom` (those it covers), each span handed to the span
// shader. Rows drawn in any grouping give the same bytes.
void DrawTriangleRows(const TriangleSetup& setup, int top, int bottom, const RasterContext& context);

// False when DrawTriangle is sure to draw nothing of the triangle for its winding or position
// alone: culled, without area once snapped, unplaceable, or with no pixel centre of `scissor`
// inside its bounding box.
bool MayDraw(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, CullMode cull, const RECT& scissor);
