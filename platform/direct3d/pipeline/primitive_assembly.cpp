#include "platform/direct3d/pipeline/primitive_assembly.h"

#include "platform/direct3d/pipeline/clipping.h"
#include "platform/direct3d/pipeline/rasteriser.h"
#include "platform/direct3d/pipeline/viewport_mapping.h"

namespace {

// Calls `triangle(i0, i1, i2)` for every triangle of a list or strip, in drawing order.
template <class Triangle>
void ForEachTriangle(D3DPRIMITIVETYPE type, const WORD* indices, std::size_t indexCount, Triangle triangle) {
  auto at = [indices](std::size_t k) { return indices ? static_cast<std::size_t>(indices[k]) : k; };
  if (type == D3DPT_TRIANGLELIST) {
    for (std::size_t k = 0; k + 2 < indexCount; k += 3) triangle(at(k), at(k + 1), at(k + 2));
  } else if (type == D3DPT_TRIANGLESTRIP) {
    // Every second triangle of a strip is taken in the other order, so all keep one winding.
    for (std::size_t k = 0; k + 2 < indexCount; ++k) {
      if (k % 2 == 0) triangle(at(k), at(k + 1), at(k + 2));
      else triangle(at(k + 1), at(k), at(k + 2));
    }
  }
}

}  // namespace

const std::vector<std::uint8_t>& PrimitiveAssembler::Prepare(const std::vector<ClipVertex>& vertices,
                                                             D3DPRIMITIVETYPE type, const WORD* indices,
                                                             std::size_t indexCount, const ViewportMapping& mapping,
                                                             CullMode cull) {
  // Vertices inside the volume are projected once, however many triangles share them.
  outcodes_.resize(vertices.size());
  screen_.resize(vertices.size());
  used_.assign(vertices.size(), 0);
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    outcodes_[i] = Outcode(vertices[i], mapping);
    if (outcodes_[i] == 0) screen_[i] = ToScreen(vertices[i], mapping);
  }
  const RECT scissor{mapping.left, mapping.top, mapping.right, mapping.bottom};
  ForEachTriangle(type, indices, indexCount, [&](std::size_t i0, std::size_t i1, std::size_t i2) {
    const unsigned c0 = outcodes_[i0], c1 = outcodes_[i1], c2 = outcodes_[i2];
    if (((c0 | c1 | c2) & kClipInvalid) || (c0 & c1 & c2)) return;
    // A triangle the clipper cuts keeps its vertices' colours in the new ones.
    if ((c0 | c1 | c2) == 0 && !MayDraw(screen_[i0], screen_[i1], screen_[i2], cull, scissor)) return;
    used_[i0] = used_[i1] = used_[i2] = 1;
  });
  return used_;
}

void PrimitiveAssembler::Draw(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type, const WORD* indices,
                              std::size_t indexCount, const ViewportMapping& mapping, const RasterContext& context) {
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    if (outcodes_[i] == 0 && used_[i]) CopyColours(vertices[i], &screen_[i]);
  }
  ForEachTriangle(type, indices, indexCount, [&](std::size_t i0, std::size_t i1, std::size_t i2) {
    Triangle(vertices, i0, i1, i2, mapping, context);
  });
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
