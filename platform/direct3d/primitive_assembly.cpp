#include "platform/direct3d/primitive_assembly.h"

void PrimitiveAssembler::Draw(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type, const WORD* indices,
                              std::size_t indexCount, const ViewportMapping& mapping, const RasterContext& context) {
  // Vertices inside the volume are projected once, however many triangles share them.
  outcodes_.resize(vertices.size());
  screen_.resize(vertices.size());
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    outcodes_[i] = Outcode(vertices[i], mapping);
    if (outcodes_[i] == 0) screen_[i] = ToScreen(vertices[i], mapping);
  }
  auto at = [indices](std::size_t k) { return indices ? static_cast<std::size_t>(indices[k]) : k; };
  if (type == D3DPT_TRIANGLELIST) {
    for (std::size_t k = 0; k + 2 < indexCount; k += 3) Triangle(vertices, at(k), at(k + 1), at(k + 2), mapping, context);
  } else if (type == D3DPT_TRIANGLESTRIP) {
    // Every second triangle of a strip is taken in the other order, so all keep one winding.
    for (std::size_t k = 0; k + 2 < indexCount; ++k) {
      if (k % 2 == 0) Triangle(vertices, at(k), at(k + 1), at(k + 2), mapping, context);
      else Triangle(vertices, at(k + 1), at(k), at(k + 2), mapping, context);
    }
  }
}

void PrimitiveAssembler::Triangle(const std::vector<ClipVertex>& vertices, std::size_t i0, std::size_t i1,
                                  std::size_t i2, const ViewportMapping& mapping, const RasterContext& context) {
  const unsigned c0 = outcodes_[i0], c1 = outcodes_[i1], c2 = outcodes_[i2];
  if ((c0 | c1 | c2) & kClipInvalid) return;
  if (c0 & c1 & c2) return;  // wholly outside one plane
  if ((c0 | c1 | c2) == 0) {
    DrawTriangle(screen_[i0], screen_[i1], screen_[i2], context);
    return;
  }
  ClipVertex polygon[kMaxClippedVertices] = {vertices[i0], vertices[i1], vertices[i2]};
  const int count = ClipPolygon(polygon, 3, c0 | c1 | c2, mapping);
  if (count < 3) return;
  ScreenVertex screen[kMaxClippedVertices];
  for (int i = 0; i < count; ++i) {
    // Inside the volume w is positive, except for a polygon shrunk to the eye itself.
    if (!(polygon[i].w > 0)) return;
    screen[i] = ToScreen(polygon[i], mapping);
  }
  // The clipped polygon is convex: a fan from its first vertex covers it, its inner edges
  // shared exactly.
  for (int i = 1; i + 1 < count; ++i) DrawTriangle(screen[0], screen[i], screen[i + 1], context);
}
