// Which vertices the assembler asks to be lit: those of triangles that may draw, and no others.
#include <gtest/gtest.h>

#include <vector>

#include "platform/direct3d/primitive_assembly.h"

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
  };
  const WORD indices[] = {0, 1, 2, 1, 0, 3, 4, 6, 5, 7, 8, 9, 11, 12, 13};
  PrimitiveAssembler assembler;
  const std::vector<std::uint8_t> used = assembler.Prepare(vertices, D3DPT_TRIANGLELIST, indices, std::size(indices),
                                                           mapping, CullMode::kCounterClockwise);
  EXPECT_EQ(used, (std::vector<std::uint8_t>{1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}));

  // With culling off the counter-clockwise triangle draws too.
  EXPECT_EQ(assembler.Prepare(vertices, D3DPT_TRIANGLELIST, indices, std::size(indices), mapping, CullMode::kNone)[3], 1);
}

}  // namespace
