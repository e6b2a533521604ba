// A small memory target for the rasteriser on its own: triangles go in as screen vertices, and
// the pixels and depths come back out.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/direct3d/pipeline/rasteriser.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "platform/direct3d/pipeline/span_shading.h"

struct RasterCanvas {
  RasterCanvas(int width, int height, ColourFormat format = ColourFormat::kRgb32,
               DepthFormat depthFormat = DepthFormat::kFloat32)
      : width(width), height(height), colour(static_cast<std::size_t>(width * height) * 4), depth(colour.size()) {
    context.target.colour = colour.data();
    context.target.colourPitch = width * BytesPerPixel(format);
    context.target.format = format;
    context.target.width = width;
    context.target.height = height;
    if (depthFormat != DepthFormat::kNone) {
      context.target.depth = depth.data();
      context.target.depthFormat = depthFormat;
      context.target.depthPitch = width * (depthFormat == DepthFormat::kFixed16 ? 2 : 4);
      FillFarDepth(context.target, RECT{0, 0, width, height});
      context.pixels.depthTest = context.pixels.depthWrite = true;
    }
    context.scissor = RECT{0, 0, width, height};
    context.cull = CullMode::kNone;
    context.shadeSpan = SpanShaderFor(format, depthFormat);
  }

  // Every pixel a triangle covers gains 1 in each channel: the target counts the writes.
  void CountWrites() {
    context.pixels.blend = true;
    context.pixels.sourceBlend = D3DBLEND_ONE;
    context.pixels.destBlend = D3DBLEND_ONE;
    context.pixels.depthTest = context.pixels.depthWrite = false;
    shade = 1.0f / 255.0f;
  }

  ScreenVertex Vertex(float x, float y, float z = 0.5f) const {
    ScreenVertex v{};
    v.x = x;
    v.y = y;
    v.z = z;
    v.q = 1.0f;
    v.r = v.g = v.b = shade;
    return v;
  }

  void Triangle(float x0, float y0, float x1, float y1, float x2, float y2) {
    DrawTriangle(Vertex(x0, y0), Vertex(x1, y1), Vertex(x2, y2), context);
  }

  std::uint32_t Pixel(int x, int y) const { return ReadPixel(context.target.format, PixelAddress(x, y)); }
  const std::uint8_t* PixelAddress(int x, int y) const {
    return colour.data() + y * context.target.colourPitch + x * BytesPerPixel(context.target.format);
  }
  // How many times the pixel was written while counting (its blue channel).
  int Writes(int x, int y) const { return static_cast<int>(Pixel(x, y) & 0xFF); }
  int TotalWrites() const {
    int total = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) total += Writes(x, y);
    return total;
  }

  int width, height;
  std::vector<std::uint8_t> colour;
  std::vector<std::uint8_t> depth;
  RasterContext context;
  float shade = 1.0f;
};
