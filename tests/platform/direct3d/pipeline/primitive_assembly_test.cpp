// Which vertices the assembler asks to be lit: those of triangles that may draw, and no others.
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

TEST(PrimitiveAssembly, OnlyVerticesOfTrianglesThatMayDrawAreUsed) {
  D3DVIEWPORT2 viewport{};
  viewport.dwSize = sizeof(viewport);
  viewport.dwWidth = viewport.dwHeight = 100;
  viewport.dvClipX = -1.0f;
  viewport.dvClipY = 1.0f;
  viewport.dvClipWidth = viewport.dvClipHeight = 2.0f;
  viewport.dvMaxZ = 1.0f;
  ViewportMapping mapping;
  ASSERT_TRUE(MakeViewportMapping(viewport, 100, 100, &mapping));
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
  const std::vector<std::uint8_t> used = assembler.Prepare(vertices, D3DPT_TRIANGLELIST, indices, std::size(indices),
                                                           mapping, CullMode::kCounterClockwise);
  EXPECT_EQ(used, (std::vector<std::uint8_t>{1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  // The same two, moved over a column of centres and into the viewport, may draw.
  std::vector<ClipVertex> moved = vertices;
  for (int i : {14, 15, 16}) moved[i].x += 0.008f;  // x from 60.6 to 61.2
  for (int i : {17, 18, 19}) moved[i].x -= 1.5f;
  const std::vector<std::uint8_t> movedUsed =
      assembler.Prepare(moved, D3DPT_TRIANGLELIST, indices, std::size(indices), mapping, CullMode::kCounterClockwise);
  EXPECT_EQ(std::vector<std::uint8_t>(movedUsed.begin() + 14, movedUsed.end()), (std::vector<std::uint8_t>(6, 1)));

  // With culling off the counter-clockwise triangle draws too.
  EXPECT_EQ(assembler.Prepare(vertices, D3DPT_TRIANGLELIST, indices, std::size(indices), mapping, CullMode::kNone)[3], 1);
}

}  // namespace
