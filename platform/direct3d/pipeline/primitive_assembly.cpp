#include "platform/direct3d/pipeline/primitive_assembly.h"

#include <cstdio>
#include <cstdlib>

#include "platform/direct3d/pipeline/clipping.h"
#include "platform/direct3d/pipeline/rasteriser.h"
#include "platform/direct3d/pipeline/viewport_mapping.h"

namespace {

// Calls `triangle(i0, i1, i2)` for triangles first to end - 1 of a list or strip, in drawing order.
template <class Triangle>
void ForEachTriangle(D3DPRIMITIVETYPE type, const WORD* indices, std::size_t first, std::size_t end,
                     Triangle triangle) {
  auto at = [indices](std::size_t k) { return indices ? static_cast<std::size_t>(indices[k]) : k; };
  if (type == D3DPT_TRIANGLELIST) {
    for (std::size_t t = first; t < end; ++t) triangle(at(3 * t), at(3 * t + 1), at(3 * t + 2));
  } else if (type == D3DPT_TRIANGLESTRIP) {
    // Every second triangle of a strip is taken in the other order, so all keep one winding.
    for (std::size_t k = first; k < end; ++k) {
      if (k % 2 == 0) triangle(at(k), at(k + 1), at(k + 2));
      else triangle(at(k + 1), at(k), at(k + 2));
    }
  }
}

const char* StepName(AssemblyStep step) {
  switch (step) {
    case AssemblyStep::kNone: return "none";
    case AssemblyStep::kProject: return "Project";
    case AssemblyStep::kMark: return "Mark";
    case AssemblyStep::kCopy: return "Copy";
    case AssemblyStep::kAssemble: return "Assemble";
  }
  return "?";
}

}  // namespace

std::size_t TriangleCount(D3DPRIMITIVETYPE type, std::size_t indexCount) {
  if (type == D3DPT_TRIANGLELIST) return indexCount / 3;
  if (type == D3DPT_TRIANGLESTRIP) return indexCount >= 2 ? indexCount - 2 : 0;
  return 0;
}

void PrimitiveAssembler::OutOfOrder(AssemblyStep step, const char* what) const {
  std::fprintf(stderr, "platform: the draw called %s at its %s step, which belongs to the %s step\n", what,
               StepName(step_), StepName(step));
  std::abort();
}

void PrimitiveAssembler::Begin(std::size_t vertexCount) {
  outcodes_.resize(vertexCount);
  screen_.resize(vertexCount);
  used_.assign(vertexCount, 0);
  step_ = AssemblyStep::kProject;
}

void PrimitiveAssembler::Enter(AssemblyStep step) {
  // Only Begin starts a draw; every later step follows the one before it.
  const auto before = static_cast<AssemblyStep>(static_cast<int>(step) - 1);
  if (step <= AssemblyStep::kProject || step_ != before) [[unlikely]] {
    std::fprintf(stderr, "platform: the draw entered its %s step from the %s step\n", StepName(step), StepName(step_));
    std::abort();
  }
  step_ = step;
}

const std::vector<std::uint8_t>& PrimitiveAssembler::Used() const {
  Expect(AssemblyStep::kCopy, "Used");
  return used_;
}

void PrimitiveAssembler::Project(const std::vector<ClipVertex>& vertices, std::size_t first, std::size_t end,
                                 const ViewportMapping& mapping) {
  Expect(AssemblyStep::kProject, "Project");
  // Vertices inside the volume are projected once, however many triangles share them.
  for (std::size_t i = first; i < end; ++i) {
    outcodes_[i] = Outcode(vertices[i], mapping);
    if (outcodes_[i] == 0) screen_[i] = ToScreen(vertices[i], mapping);
  }
}

void PrimitiveAssembler::Mark(D3DPRIMITIVETYPE type, const WORD* indices, std::size_t firstTriangle,
                              std::size_t endTriangle, const ViewportMapping& mapping, CullMode cull) {
  Expect(AssemblyStep::kMark, "Mark");
  const RECT scissor{mapping.left, mapping.top, mapping.right, mapping.bottom};
  ForEachTriangle(type, indices, firstTriangle, endTriangle, [&](std::size_t i0, std::size_t i1, std::size_t i2) {
    const unsigned c0 = outcodes_[i0], c1 = outcodes_[i1], c2 = outcodes_[i2];
    if (((c0 | c1 | c2) & kClipInvalid) || (c0 & c1 & c2)) return;
    // A triangle the clipper cuts keeps its vertices' colours in the new ones.
    if ((c0 | c1 | c2) == 0 && !MayDraw(screen_[i0], screen_[i1], screen_[i2], cull, scissor)) return;
    // Triangles of other pieces may share a vertex and set its flag at the same moment: an
    // atomic store (a plain one on these processors) keeps that well-defined.
    for (const std::size_t i : {i0, i1, i2}) __atomic_store_n(&used_[i], std::uint8_t{1}, __ATOMIC_RELAXED);
  });
}

void PrimitiveAssembler::Copy(const std::vector<ClipVertex>& vertices, std::size_t first, std::size_t end) {
  Expect(AssemblyStep::kCopy, "Copy");
  for (std::size_t i = first; i < end; ++i) {
    if (outcodes_[i] == 0 && used_[i]) CopyColours(vertices[i], &screen_[i]);
  }
}

void PrimitiveAssembler::Assemble(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type, const WORD* indices,
                                  std::size_t firstTriangle, std::size_t endTriangle, const ViewportMapping& mapping,
                                  const TriangleSink& sink) const {
  Expect(AssemblyStep::kAssemble, "Assemble");
  ForEachTriangle(type, indices, firstTriangle, endTriangle, [&](std::size_t i0, std::size_t i1, std::size_t i2) {
    Triangle(vertices, i0, i1, i2, mapping, sink);
  });
}

void PrimitiveAssembler::Triangle(const std::vector<ClipVertex>& vertices, std::size_t i0, std::size_t i1,
                                  std::size_t i2, const ViewportMapping& mapping, const TriangleSink& sink) const {
  const unsigned c0 = outcodes_[i0], c1 = outcodes_[i1], c2 = outcodes_[i2];
  if ((c0 | c1 | c2) & kClipInvalid) return;
  if (c0 & c1 & c2) return;  // wholly outside one plane
  if ((c0 | c1 | c2) == 0) {
    sink.emit(sink.context, screen_[i0], screen_[i1], screen_[i2]);
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
  for (int i = 1; i + 1 < count; ++i) sink.emit(sink.context, screen[0], screen[i], screen[i + 1]);
}
