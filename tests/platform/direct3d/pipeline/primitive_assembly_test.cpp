// Which vertices the assembler asks to be lit: those of triangles that may draw, and no others;
// and a step called out of order stops the program instead of drawing from stale entries.
#include <gtest/gtest.h>

#include <vector>

#include "platform/direct3d/pipeline/primitive_assembly.h"
#include "platform/direct3d/pipeline/viewport_mapping.h"

namespace {

ClipVertex At(float x, float y) {
  ClipVertex v{};
  v.x = x;
  v.y = y;
  v.z = 0.5f;
  v.w = 1.0f;
  return v;
}

ViewportMapping Mapping100() {
  D3DVIEWPORT2 viewport{};
  viewport.dwSize = sizeof(viewport);
  viewport.dwWidth = viewport.dwHeight = 100;
  viewport.dvClipX = -1.0f;
  viewport.dvClipY = 1.0f;
  viewport.dvClipWidth = viewport.dvClipHeight = 2.0f;
  viewport.dvMaxZ = 1.0f;
  ViewportMapping mapping{};
  EXPECT_TRUE(MakeViewportMapping(viewport, 100, 100, &mapping));
  return mapping;
}

// The flags a list's Mark step leaves, every step run as one piece.
std::vector<std::uint8_t> MarkList(PrimitiveAssembler& assembler, const std::vector<ClipVertex>& vertices,
                                   const WORD* indices, std::size_t indexCount, const ViewportMapping& mapping,
                                   CullMode cull) {
  assembler.Begin(vertices.size());
  assembler.Project(vertices, 0, vertices.size(), mapping);
  assembler.Enter(AssemblyStep::kMark);
  assembler.Mark(D3DPT_TRIANGLELIST, indices, 0, TriangleCount(D3DPT_TRIANGLELIST, indexCount), mapping, cull);
  assembler.Enter(AssemblyStep::kCopy);
  return assembler.Used();
}

TEST(PrimitiveAssembly, OnlyVerticesOfTrianglesThatMayDrawAreUsed) {
  const ViewportMapping mapping = Mapping100();
  const std::vector<ClipVertex> vertices = {
      At(-0.8f, 0.8f), At(-0.2f, 0.8f), At(-0.8f, 0.2f),  // clockwise on the screen: drawn
      At(-0.2f, 0.2f),                                    // only in a counter-clockwise one
      At(0.5f, 0.5f),  At(500.0f, 0.5f),  At(0.5f, -0.5f),  // crossing the right side's guard band
      At(200.0f, 0.0f),  At(210.0f, 0.0f),  At(200.0f, -5.0f),  // wholly outside
      At(0.0f, 0.0f),                                     // in no triangle
      At(0.1f, 0.1f),  At(0.1f, 0.1f),  At(0.2f, 0.2f),   // no area
      // Clockwise, but between the centres of columns 60 and 61 (x from 60.2 to 60.8).
      At(0.204f, 0.6f), At(0.216f, 0.6f), At(0.204f, 0.4f),
      // Clockwise, inside the guard band but right of the viewport (x from 150 to 175).
      At(2.0f, 0.6f),  At(2.5f, 0.6f),  At(2.0f, 0.4f),
  };
  const WORD indices[] = {0, 1, 2, 1, 0, 3, 4, 6, 5, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19};
  PrimitiveAssembler assembler;
  const std::vector<std::uint8_t> used =
      MarkList(assembler, vertices, indices, std::size(indices), mapping, CullMode::kCounterClockwise);
  EXPECT_EQ(used, (std::vector<std::uint8_t>{1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  // The same two, moved over a column of centres and into the viewport, may draw.
  std::vector<ClipVertex> moved = vertices;
  for (int i : {14, 15, 16}) moved[i].x += 0.008f;  // x from 60.6 to 61.2
  for (int i : {17, 18, 19}) moved[i].x -= 1.5f;
  const std::vector<std::uint8_t> movedUsed =
      MarkList(assembler, moved, indices, std::size(indices), mapping, CullMode::kCounterClockwise);
  EXPECT_EQ(std::vector<std::uint8_t>(movedUsed.begin() + 14, movedUsed.end()), (std::vector<std::uint8_t>(6, 1)));

  // With culling off the counter-clockwise triangle draws too.
  EXPECT_EQ(MarkList(assembler, vertices, indices, std::size(indices), mapping, CullMode::kNone)[3], 1);
}

void CountTriangle(void* count, const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) {
  ++*static_cast<int*>(count);
}

TEST(PrimitiveAssemblyDeathTest, EveryStepNeedsTheOneBeforeIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const ViewportMapping mapping = Mapping100();
  const std::vector<ClipVertex> vertices = {At(-0.8f, 0.8f), At(-0.2f, 0.8f), At(-0.8f, 0.2f)};
  const auto mark = [&](PrimitiveAssembler& a) {
    a.Mark(D3DPT_TRIANGLELIST, nullptr, 0, 1, mapping, CullMode::kCounterClockwise);
  };
  int drawn = 0;
  const TriangleSink count{CountTriangle, &drawn};
  PrimitiveAssembler assembler;
  EXPECT_DEATH(assembler.Project(vertices, 0, 3, mapping), "called Project at its none step");
  assembler.Begin(vertices.size());
  EXPECT_DEATH(mark(assembler), "called Mark at its Project step");
  EXPECT_DEATH(assembler.Enter(AssemblyStep::kCopy), "entered its Copy step from the Project step");
  EXPECT_DEATH(assembler.Used(), "called Used at its Project step");
  assembler.Project(vertices, 0, 3, mapping);
  assembler.Enter(AssemblyStep::kMark);
  mark(assembler);
  EXPECT_DEATH(assembler.Copy(vertices, 0, 3), "called Copy at its Mark step");
  assembler.Enter(AssemblyStep::kCopy);
  assembler.Copy(vertices, 0, 3);
  EXPECT_DEATH(assembler.Assemble(vertices, D3DPT_TRIANGLELIST, nullptr, 0, 1, mapping, count),
               "called Assemble at its Copy step");
  assembler.Enter(AssemblyStep::kAssemble);
  EXPECT_DEATH(assembler.Enter(AssemblyStep::kAssemble), "entered its Assemble step from the Assemble step");
  EXPECT_DEATH(assembler.Project(vertices, 0, 3, mapping), "called Project at its Assemble step");
  assembler.Assemble(vertices, D3DPT_TRIANGLELIST, nullptr, 0, 1, mapping, count);
  EXPECT_EQ(drawn, 1);
  // The next draw starts over with Begin.
  assembler.Begin(vertices.size());
  EXPECT_EQ(assembler.Step(), AssemblyStep::kProject);
}

}  // namespace
