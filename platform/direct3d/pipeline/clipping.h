// Clipping, for the second and fourth stages: cuts triangles to the clip volume in homogeneous coordinates, so that
// nothing behind the near plane or far outside the viewport reaches the rasteriser.
#pragma once

#include "platform/direct3d/pipeline/pipeline.h"

// One bit per plane a vertex lies outside of.
enum ClipPlane : unsigned {
  kClipLeft = 1,
  kClipRight = 2,
  kClipBottom = 4,
  kClipTop = 8,
  kClipNear = 16,
  kClipFar = 32,
  kClipInvalid = 64,  // a coordinate that is not a finite number: the vertex draws nothing
};

unsigned Outcode(const ClipVertex& v, const ViewportMapping& mapping);

// Room for a triangle cut by all six planes.
constexpr int kMaxClippedVertices = 9;

// Cuts the convex polygon in place by the planes named in `planes` (the union of its vertices'
// outcodes); returns the new vertex count, fewer than 3 when nothing is left.
int ClipPolygon(ClipVertex* polygon, int count, unsigned planes, const ViewportMapping& mapping);
