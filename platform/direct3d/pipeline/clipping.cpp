#include "platform/direct3d/pipeline/clipping.h"

#include <cmath>

namespace {

// The signed distance of a vertex inside a plane: not negative means inside.
float Inside(const ClipVertex& v, unsigned plane, const ViewportMapping& m) {
  switch (plane) {
    case kClipLeft: return v.x - m.guardLeft * v.w;
    case kClipRight: return m.guardRight * v.w - v.x;
    case kClipBottom: return v.y - m.guardBottom * v.w;
    case kClipTop: return m.guardTop * v.w - v.y;
    case kClipNear: return v.z - m.minZ * v.w;
    default: return m.maxZ * v.w - v.z;
  }
}

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
  auto mix = [t](float p, float q) { return p + (q - p) * t; };
  return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.w, b.w), mix(a.u, b.u),   mix(a.v, b.v),
          mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.sr, b.sr), mix(a.sg, b.sg), mix(a.sb, b.sb)};
}

// The point where the edge between an inside and an outside vertex meets the plane, always
// computed from the inside end: two triangles sharing the edge get the same point, so no
// crack or overlap opens along a cut.
ClipVertex Crossing(const ClipVertex& in, float inDistance, const ClipVertex& out, float outDistance) {
  return Lerp(in, out, inDistance / (inDistance - outDistance));
}

}  // namespace

unsigned Outcode(const ClipVertex& v, const ViewportMapping& mapping) {
  if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z) || !std::isfinite(v.w)) return kClipInvalid;
  unsigned code = 0;
  for (unsigned plane = kClipLeft; plane <= kClipFar; plane <<= 1) {
    if (!(Inside(v, plane, mapping) >= 0)) code |= plane;
  }
  return code;
}

int ClipPolygon(ClipVertex* polygon, int count, unsigned planes, const ViewportMapping& mapping) {
  // Each edge adds at most two vertices, so the buffer holds whatever rounding makes of it.
  ClipVertex buffer[2 * kMaxClippedVertices];
  for (unsigned plane = kClipLeft; plane <= kClipFar && count >= 3; plane <<= 1) {
    if ((planes & plane) == 0) continue;
    int kept = 0;
    for (int i = 0; i < count; ++i) {
      const ClipVertex& a = polygon[i];
      const ClipVertex& b = polygon[(i + 1) % count];
      const float da = Inside(a, plane, mapping);
      const float db = Inside(b, plane, mapping);
      const bool aIn = da >= 0, bIn = db >= 0;
      if (aIn) buffer[kept++] = a;
      if (aIn && !bIn) buffer[kept++] = Crossing(a, da, b, db);
      else if (!aIn && bIn) buffer[kept++] = Crossing(b, db, a, da);
    }
    // A convex polygon gains at most one vertex per plane; more means rounding made a sliver of
    // a nearly flat one, which shows nothing.
    if (kept > kMaxClippedVertices) return 0;
    for (int i = 0; i < kept; ++i) polygon[i] = buffer[i];
    count = kept;
  }
  return count;
}
