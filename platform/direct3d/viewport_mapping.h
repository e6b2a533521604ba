// What a D3DVIEWPORT2 means to the pipeline: the clip volume, in coordinates after the division
// by w, and the mapping from there to target pixels and depth.
#pragma once

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/vertex_processing.h"

struct ViewportMapping {
  // Geometry is clipped in x and y to a band around the clip volume, and the rasteriser keeps to
  // the viewport's pixels; both give the picture the volume gives, with fewer new vertices.
  float guardLeft, guardRight, guardBottom, guardTop;
  float minZ, maxZ;
  // Xs = xOffset + x/w * xScale, Ys = yOffset - y/w * yScale, Zs = (z/w - minZ) * zScale.
  float xOffset, xScale, yOffset, yScale, zScale;
  // The viewport's pixels on the target, right and bottom exclusive.
  int left, top, right, bottom;
};

// False when the record cannot be used: a zero-sized or inverted volume, or pixels outside
// the target.
bool MakeViewportMapping(const D3DVIEWPORT2& viewport, int targetWidth, int targetHeight, ViewportMapping* mapping);

// A vertex after the division by w, in target pixels; its attributes are still undivided.
struct ScreenVertex {
  float x, y, z;  // pixel centres at integer coordinates; depth in [0, 1]
  float q;        // 1 / w
  float u, v;
  float r, g, b;
  float sr, sg, sb;
};

ScreenVertex ToScreen(const ClipVertex& v, const ViewportMapping& mapping);
// The diffuse and specular colours of a clip-space vertex given to its screen vertex.
void CopyColours(const ClipVertex& v, ScreenVertex* s);
