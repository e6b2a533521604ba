// Coverage, winding and depth of the rasteriser on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tests/platform/direct3d/pipeline/raster_canvas.h"

namespace {

TEST(Rasteriser, TopLeftRuleSplitsASquareFifteenAndTenAndCoversItOnce) {
  RasterCanvas upper(8, 8), lower(8, 8), both(8, 8);
  for (RasterCanvas* c : {&upper, &lower, &both}) c->CountWrites();
  upper.Triangle(0, 0, 5, 0, 5, 5);
  lower.Triangle(0, 5, 0, 0, 5, 5);
  both.Triangle(0, 0, 5, 0, 5, 5);
  both.Triangle(0, 5, 0, 0, 5, 5);
  EXPECT_EQ(upper.TotalWrites(), 15);
  EXPECT_EQ(lower.TotalWrites(), 10);
  EXPECT_EQ(both.TotalWrites(), 25);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(both.Writes(x, y), x < 5 && y < 5 ? 1 : 0) << x << "," << y;
  }
  // The top and left edges' centres are the triangle's; the diagonal belongs to the upper one.
  EXPECT_EQ(upper.Writes(0, 0), 1);
  EXPECT_EQ(upper.Writes(4, 4), 1);
  EXPECT_EQ(lower.Writes(0, 4), 1);
  EXPECT_EQ(lower.Writes(3, 3), 0);
}

TEST(Rasteriser, AMeshOfSharedEdgesLeavesNoGapAndWritesNoPixelTwice) {
  RasterCanvas canvas(96, 96);
  canvas.CountWrites();
  // A 12 x 12 grid over (4, 4)-(92, 92) whose inner vertices are moved at random, to 1/256 px.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> jitter(-700, 700);
  float vx[13][13], vy[13][13];
  for (int i = 0; i <= 12; ++i) {
    for (int j = 0; j <= 12; ++j) {
      const bool inner = i > 0 && i < 12 && j > 0 && j < 12;
      vx[i][j] = 4.0f + 88.0f * static_cast<float>(j) / 12.0f + (inner ? static_cast<float>(jitter(random)) / 256.0f : 0);
      vy[i][j] = 4.0f + 88.0f * static_cast<float>(i) / 12.0f + (inner ? static_cast<float>(jitter(random)) / 256.0f : 0);
    }
  }
  for (int i = 0; i < 12; ++i) {
    for (int j = 0; j < 12; ++j) {
      // Alternate the diagonal, so that edges meet from every direction.
      if ((i + j) % 2) {
        canvas.Triangle(vx[i][j], vy[i][j], vx[i][j + 1], vy[i][j + 1], vx[i + 1][j + 1], vy[i + 1][j + 1]);
        canvas.Triangle(vx[i][j], vy[i][j], vx[i + 1][j + 1], vy[i + 1][j + 1], vx[i + 1][j], vy[i + 1][j]);
      } else {
        canvas.Triangle(vx[i][j], vy[i][j], vx[i][j + 1], vy[i][j + 1], vx[i + 1][j], vy[i + 1][j]);
        canvas.Triangle(vx[i][j + 1], vy[i][j + 1], vx[i + 1][j + 1], vy[i + 1][j + 1], vx[i + 1][j], vy[i + 1][j]);
      }
    }
  }
  // The outline is the square (4, 4)-(92, 92): its top and left centres are in, right and bottom out.
  for (int y = 0; y < 96; ++y) {
    for (int x = 0; x < 96; ++x) {
      EXPECT_EQ(canvas.Writes(x, y), x >= 4 && x < 92 && y >= 4 && y < 92 ? 1 : 0) << x << "," << y;
    }
  }
}

TEST(Rasteriser, CullingGoesByTheWindingOnTheScreen) {
  struct Case {
    CullMode cull;
    int clockwiseWrites, counterClockwiseWrites;
  } cases[] = {{CullMode::kCounterClockwise, 15, 0}, {CullMode::kClockwise, 0, 15}, {CullMode::kNone, 15, 15}};
  for (const Case& c : cases) {
    RasterCanvas clockwise(8, 8), counterClockwise(8, 8);
    for (RasterCanvas* canvas : {&clockwise, &counterClockwise}) {
      canvas->CountWrites();
      canvas->context.cull = c.cull;
    }
    // On the screen y runs down: right along the top, then down, is clockwise.
    clockwise.Triangle(0, 0, 5, 0, 5, 5);
    counterClockwise.Triangle(0, 0, 5, 5, 5, 0);
    EXPECT_EQ(clockwise.TotalWrites(), c.clockwiseWrites);
    EXPECT_EQ(counterClockwise.TotalWrites(), c.counterClockwiseWrites);
    // Either winding covers the same pixels.
    if (c.cull == CullMode::kNone) {
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(clockwise.Writes(x, y), counterClockwise.Writes(x, y));
    }
  }
}

TEST(Rasteriser, NearerPixelsWinInEitherOrderAndEqualDepthsLetTheLaterOneIn) {
  for (bool nearFirst : {true, false}) {
    RasterCanvas canvas(16, 16);
    auto draw = [&](float z, float shade) {
      canvas.shade = shade;
      DrawTriangle(canvas.Vertex(0, 0, z), canvas.Vertex(16, 0, z), canvas.Vertex(0, 16, z), canvas.context);
    };
    if (nearFirst) {
      draw(0.25f, 1.0f);
      draw(0.75f, 0.0f);
    } else {
      draw(0.75f, 0.0f);
      draw(0.25f, 1.0f);
    }
    EXPECT_EQ(canvas.Pixel(3, 3), 0xFFFFFFu) << nearFirst;
    float stored;
    std::memcpy(&stored, canvas.depth.data() + (3 * 16 + 3) * 4, 4);
    EXPECT_EQ(stored, 0.25f);
  }
  RasterCanvas canvas(16, 16);
  canvas.shade = 1.0f;
  DrawTriangle(canvas.Vertex(0, 0, 0.5f), canvas.Vertex(16, 0, 0.5f), canvas.Vertex(0, 16, 0.5f), canvas.context);
  canvas.shade = 0.0f;
  DrawTriangle(canvas.Vertex(0, 0, 0.5f), canvas.Vertex(16, 0, 0.5f), canvas.Vertex(0, 16, 0.5f), canvas.context);
  EXPECT_EQ(canvas.Pixel(3, 3), 0u) << "LESSEQUAL passes an equal depth";
}

TEST(Rasteriser, SixteenBitDepthsOrderAsFinelyAsTheirUnits) {
  RasterCanvas canvas(16, 16, ColourFormat::kRgb32, DepthFormat::kFixed16);
  canvas.shade = 1.0f;
  DrawTriangle(canvas.Vertex(0, 0, 0.5f), canvas.Vertex(16, 0, 0.5f), canvas.Vertex(0, 16, 0.5f), canvas.context);
  canvas.shade = 0.0f;
  // Three units of 1/65535 further: behind.
  const float behind = 0.5f + 3.0f / 65535.0f;
  DrawTriangle(canvas.Vertex(0, 0, behind), canvas.Vertex(16, 0, behind), canvas.Vertex(0, 16, behind), canvas.context);
  EXPECT_EQ(canvas.Pixel(2, 2), 0xFFFFFFu);
  std::uint16_t stored;
  std::memcpy(&stored, canvas.depth.data() + (2 * 16 + 2) * 2, 2);
  EXPECT_EQ(stored, 32768);
}

TEST(Rasteriser, DegenerateTrianglesDrawNothing) {
  RasterCanvas canvas(16, 16);
  canvas.CountWrites();
  canvas.Triangle(1, 1, 8, 8, 15, 15);   // no area
  canvas.Triangle(3, 3, 3, 3, 3, 3);     // a point
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  canvas.Triangle(0, 0, nan, 5, 5, 5);
  canvas.Triangle(0, 0, inf, 5, 5, 5);
  canvas.Triangle(0, 0, 1e9f, 5, 5, 5);  // beyond what the clipper ever hands over
  EXPECT_EQ(canvas.TotalWrites(), 0);
}

TEST(Rasteriser, NothingIsWrittenOutsideTheScissor) {
  RasterCanvas canvas(32, 32);
  canvas.CountWrites();
  canvas.context.scissor = RECT{4, 6, 20, 25};
  canvas.Triangle(-100, -100, 200, -100, -100, 200);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) EXPECT_EQ(canvas.Writes(x, y), x >= 4 && x < 20 && y >= 6 && y < 25 ? 1 : 0);
}

TEST(Rasteriser, ColoursAreInterpolatedAcrossTheTriangleAndMatchAtTheCorners) {
  RasterCanvas canvas(64, 8);
  ScreenVertex left = canvas.Vertex(0, 0), right = canvas.Vertex(64, 0), bottom = canvas.Vertex(0, 64);
  left.r = left.g = left.b = 0.0f;
  right.r = right.g = right.b = 1.0f;
  bottom.r = bottom.g = bottom.b = 0.0f;
  DrawTriangle(left, right, bottom, canvas.context);
  // Along row 0 the shade rises by 255/64 per pixel: pixel x holds round(x * 255 / 64).
  for (int x = 0; x < 60; ++x) {
    EXPECT_NEAR(static_cast<int>(canvas.Pixel(x, 0) & 0xFF), static_cast<int>(std::lround(x * 255.0 / 64.0)), 1) << x;
  }
}

// Work may be split into bands of rows, each drawn under its own scissor (the pipeline's contract):
// overlapping, perspective-divided triangles with depth give the same bytes either way.
TEST(Rasteriser, RowsDrawnInBandsUnderTheirOwnScissorsGiveTheSameBytes) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> place(-20.0f, 120.0f), unit(0.0f, 1.0f), q(0.2f, 2.0f);
  std::vector<ScreenVertex> vertices(3 * 40);
  for (ScreenVertex& v : vertices) {
    v = ScreenVertex{place(random), place(random), unit(random), q(random), unit(random), unit(random),
                     unit(random), unit(random), unit(random), 0, 0, 0};
  }
  RasterCanvas whole(100, 100), banded(100, 100);
  for (std::size_t i = 0; i < vertices.size(); i += 3) DrawTriangle(vertices[i], vertices[i + 1], vertices[i + 2], whole.context);
  for (int top = 0; top < 100; top += 7) {
    banded.context.scissor = RECT{0, top, 100, std::min(top + 7, 100)};
    for (std::size_t i = 0; i < vertices.size(); i += 3) DrawTriangle(vertices[i], vertices[i + 1], vertices[i + 2], banded.context);
  }
  EXPECT_GT(whole.TotalWrites(), 0);
  EXPECT_TRUE(whole.colour == banded.colour);
  EXPECT_TRUE(whole.depth == banded.depth);
}

}  // namespace
