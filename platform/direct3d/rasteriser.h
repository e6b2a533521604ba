// The third stage: triangle set-up and rasterising. Pixel centres sit at integer coordinates;
// a centre on an edge belongs to the triangle only for a top or a left edge, so triangles that
// share an edge cover each pixel along it exactly once.
#pragma once

#include "platform/direct3d/render_target.h"
#include "platform/direct3d/texture_cache.h"
#include "platform/direct3d/texture_sampling.h"
#include "platform/direct3d/viewport_mapping.h"

// What happens to a covered pixel (the render states the device honours).
struct PixelState {
  bool textured = false;
  TextureView texture;
  const PaddedTexture* padded = nullptr;  // the same texels laid out for the packed shader
  bool magnifyLinear = false;  // a texel larger than a pixel
  bool minifyLinear = false;   // a texel smaller than a pixel
  bool specular = false;       // add the specular colour after the texture
  bool blend = false;
  D3DBLEND sourceBlend = D3DBLEND_ONE;
  D3DBLEND destBlend = D3DBLEND_ZERO;
  bool depthTest = false;  // LESSEQUAL against the depth surface
  bool depthWrite = false;
};

// Which screen winding is left out: the default drops triangles that run counter-clockwise.
enum class CullMode { kNone, kClockwise, kCounterClockwise };

// Attributes interpolated across a triangle: depth linearly, the rest divided by w, so that
// texture coordinates and colours come out perspective-correct.
enum Attribute { kAttrZ, kAttrQ, kAttrU, kAttrV, kAttrR, kAttrG, kAttrB, kAttrSR, kAttrSG, kAttrSB, kAttributeCount };

struct Gradients {
  float dx[kAttributeCount];
  float dy[kAttributeCount];
};

struct RasterContext;
// Shades pixels x0 to x1 - 1 of row y; `start` holds the attributes at (x0, y).
using SpanShader = void (*)(const RasterContext& context, const Gradients& gradients, int y, int x0, int x1,
                            const float* start);

struct RasterContext {
  RenderTarget target;
  RECT scissor;  // the viewport's pixels, right and bottom exclusive
  PixelState pixels;
  CullMode cull = CullMode::kCounterClockwise;
  SpanShader shadeSpan = nullptr;  // the span shader for the target's formats
};

void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const RasterContext& context);

// False when DrawTriangle is sure to draw nothing of the triangle for its winding or position
// alone: culled, without area once snapped, unplaceable, or with no pixel centre of `scissor`
// inside its bounding box.
bool MayDraw(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, CullMode cull, const RECT& scissor);
