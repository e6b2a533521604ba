// The software pipeline behind IDirect3DDevice3: the order of its stages, what each may read and
// write, and every value one stage hands the next. DeviceCore::Draw (device_draw.cpp) runs one
// DrawPrimitive through them:
//
//   VertexStreams, VertexSetup
//     1 vertex processing   TransformVertices: clip-space positions and texture coordinates
//                           into one ClipVertex per vertex (white, no specular, when unlit)
//     2 assembly, pass one  PrimitiveAssembler::Project: each vertex's Outcode (clipping) and
//                           ToScreen for those inside (viewport mapping); then Mark: MayDraw
//                           (rasteriser) flags the vertices of triangles that can draw
//     3 lighting            LightVertices: the lit colours of the flagged vertices only
//     4 assembly, pass two  PrimitiveAssembler::Copy takes the flagged colours; then Assemble:
//                           triangles in submission order; those crossing the clip volume cut
//                           by ClipPolygon and fanned out; three ScreenVertex a triangle
//     5 rasteriser          DrawTriangle: snap, cull, attribute planes (Gradients), and the
//                           covered pixels [x0, x1) of each row handed to the span shader
//     6 span shading        RasterContext::shadeSpan: depth test, texel fetch
//                           (texture_sampling.h, texture_cache.h), modulation, specular and
//                           blending (pixel_operations.h), the write (render_target.h)
//
// There is one sequence of steps at any thread count, each step split into pieces by RunParts
// (platform/threads/worker_pool.h) and ending before the next begins: 1 and Project in vertex ranges;
// Mark in triangle ranges; 3 and Copy in vertex ranges; then Assemble. A small draw, or any draw
// on one thread, is one piece a step, run in place. On one thread Assemble hands each triangle
// straight to DrawTriangle. With the pool, Assemble and the rasteriser's set-up (SetUpTriangle)
// run in triangle ranges, each range keeping its triangles in TriangleBins (triangle_bins.h)
// sorted into bands of rows; then the bands, each drawing every range's triangles in submission
// order (DrawTriangleRows) under its own rows. The assembler keeps the step the draw is at
// (AssemblyStep): Begin starts a draw at Project, the drawing thread moves it on with Enter once
// a step's pieces have returned, and every step checks it, so a step run out of order stops the
// program where it happens. The draw has finished when DeviceCore::Draw returns.
//
// What each stage reads and writes:
//   vertex processing  reads the caller's vertex streams and its VertexSetup; writes the draw's
//                      ClipVertex array: positions and texture coordinates in step 1, colours
//                      (r g b sr sg sb) in step 3, and only of the flagged vertices.
//   clipping           reads ClipVertex and ViewportMapping; ClipPolygon rewrites only the small
//                      polygon it is given (a copy of one triangle), never the vertex array.
//   viewport mapping   a pure function of ClipVertex and ViewportMapping.
//   assembly           owns the draw's outcodes, screen vertices and flags; reads the vertex
//                      array and never writes it.
//   rasteriser         reads three ScreenVertex and the RasterContext and writes no pixel
//                      itself; it hands on only rows inside [scissor.top, scissor.bottom) and
//                      columns inside [scissor.left, scissor.right). Its set-up writes only the
//                      TriangleSetup it is given; drawing a band of rows reads the set-up.
//   span shader        reads the RasterContext (PixelState and the texels it points to), the
//                      Gradients and the start values; writes the colour and depth bytes of row y,
//                      columns x0 to x1 - 1, and nothing else; keeps nothing from call to call.
//
// What the picture depends on, and what a change of order or a split of the work must keep:
//   - Triangles draw in submission order, and a triangle covers each pixel at most once; a later
//     triangle depth-tests and blends against what the earlier ones wrote.
//   - A row's coverage and the values at its span's first pixel come from the triangle and the
//     row alone (exact integer edge steps from any first row; attribute planes evaluated at
//     (x0, y)), so moving the scissor's top and bottom, drawing the rows in bands, changes no byte.
//   - Inside a span the values are exact at every kSegment-th pixel counted from x0 and at the
//     last pixel, and stepped in between: cutting a span at another column changes bytes. Work
//     split by columns must still shade each span whole or repeat its segment points.
//   - A split of the work writes nothing two parts share: a vertex range its own vertices'
//     entries; a triangle range its vertices' flags, which are only ever set, and its own bins;
//     a band its own rows of the colour and depth surfaces.
//   - The RasterContext, with its PixelState and the padded texture it points to, is made once a
//     draw before the first triangle and only read while triangles draw. The TextureCache is
//     written only by the device before rasterising; clears and locks of the target happen between
//     draws, never during one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/direct3d/d3d.h"

// ---- Into vertex processing --------------------------------------------------------------------

// Where each part of the vertices is: a base address and the bytes from one vertex to the next.
// A null normal or texture stream means the vertices have none.
struct VertexStreams {
  const std::uint8_t* position = nullptr;
  std::size_t positionStride = 0;
  const std::uint8_t* normal = nullptr;
  std::size_t normalStride = 0;
  const std::uint8_t* texture = nullptr;
  std::size_t textureStride = 0;
};

// ---- Vertex processing to clipping and viewport mapping ---------------------------------------

// A vertex after transformation and lighting: clip-space position, texture coordinates and the
// diffuse and specular colours in [0, 1].
struct ClipVertex {
  float x, y, z, w;
  float u, v;
  float r, g, b;
  float sr, sg, sb;
};

// What a D3DVIEWPORT2 means to the pipeline: the clip volume, in coordinates after the division
// by w, and the mapping from there to target pixels and depth.
struct ViewportMapping {
  // Geometry is clipped in x and y to a band around the clip volume, and the rasteriser keeps to
  // the viewport's pixels; both give the picture the volume gives, with fewer new vertices.
  float guardLeft, guardRight, guardBottom, guardTop;
  float minZ, maxZ;
  // Xs = xOffset + x/w * xScale, Ys = yOffset - y/w * yScale, Zs = (z/w - minZ) * zScale.
  float xOffset, xScale, yOffset, yScale, zScale;
  // The viewport's pixels on the target, right and bottom exclusive.
  int left, top, right, bottom;
};

// ---- Viewport mapping to the rasteriser --------------------------------------------------------

// A vertex after the division by w, in target pixels; its attributes are still undivided.
struct ScreenVertex {
  float x, y, z;  // pixel centres at integer coordinates; depth in [0, 1]
  float q;        // 1 / w
  float u, v;
  float r, g, b;
  float sr, sg, sb;
};

// Which screen winding is left out: the default drops triangles that run counter-clockwise.
enum class CullMode { kNone, kClockwise, kCounterClockwise };

// ---- What the span shader draws into and with --------------------------------------------------

enum class ColourFormat { kRgb32, kRgb24, kRgb565 };

// A 16-bit depth surface keeps the depth in units of 1/65535; a 32-bit one keeps it as a float,
// whose bit patterns order like the values for depths from 0 to 1.
enum class DepthFormat { kNone, kFixed16, kFloat32 };

// The memory the pipeline draws into: a colour surface and its attached depth surface.
struct RenderTarget {
  std::uint8_t* colour = nullptr;
  int colourPitch = 0;
  ColourFormat format = ColourFormat::kRgb32;
  std::uint8_t* depth = nullptr;
  int depthPitch = 0;
  DepthFormat depthFormat = DepthFormat::kNone;
  int width = 0, height = 0;
};

// A 32-bit texture as the sampler reads it, texels 0x00RRGGBB in the low bytes.
struct TextureView {
  const std::uint8_t* texels = nullptr;
  int pitch = 0;
  int widthMask = 0, heightMask = 0;  // width - 1, height - 1: sizes are powers of two
  float width = 0, height = 0;
};

// The same texels laid out for bilinear filtering: each texel as a block of sixteen bytes holding
// it, its right neighbour, its lower neighbour and theirs, wrapped, so that one load fetches the
// four texels round a point.
struct PaddedTexture {
  std::vector<std::uint8_t> texels;  // height rows of width blocks; texel (x, y) at ((y << widthShift) + x) * 16
  int widthShift = 0;
  int widthMask = 0, heightMask = 0;
  unsigned generation = 0;  // the surface's generation the copy was made from
};

// What happens to a covered pixel (the render states the device honours).
struct PixelState {
  bool textured = false;
  TextureView texture;
  const PaddedTexture* padded = nullptr;  // the same texels laid out for the packed shaders
  bool magnifyLinear = false;  // a texel larger than a pixel
  bool minifyLinear = false;   // a texel smaller than a pixel
  bool specular = false;       // add the specular colour after the texture
  bool blend = false;
  D3DBLEND sourceBlend = D3DBLEND_ONE;
  D3DBLEND destBlend = D3DBLEND_ZERO;
  bool depthTest = false;  // LESSEQUAL against the depth surface
  bool depthWrite = false;
};

// ---- The rasteriser to the span shader ---------------------------------------------------------

// Attributes interpolated across a triangle: depth linearly, the rest divided by w, so that
// texture coordinates and colours come out perspective-correct.
enum Attribute { kAttrZ, kAttrQ, kAttrU, kAttrV, kAttrR, kAttrG, kAttrB, kAttrSR, kAttrSG, kAttrSB, kAttributeCount };

// Each attribute's change from one pixel to the next along x and along y.
struct Gradients {
  float dx[kAttributeCount];
  float dy[kAttributeCount];
};

// ---- Triangle set-up to the rows of the rasteriser ----------------------------------------------

// A vertex snapped to 1/256 of a pixel.
struct SnappedPoint {
  std::int64_t x, y;
};

// A triangle set up once and drawn row by row, in one go or in bands of rows. Each row's
// coverage comes from the snapped vertices by exact integer steps from any first row, and the
// values at a span's first pixel from the attribute planes, so bands give the bytes one go gives.
struct TriangleSetup {
  SnappedPoint p[3];     // running clockwise on the screen
  int firstRow, endRow;  // the rows it covers inside the scissor, end exclusive
  float x0, y0;          // where `base` holds: the first vertex, in pixels
  float base[kAttributeCount];
  Gradients gradients;
};

struct RasterContext;
// Shades pixels x0 to x1 - 1 of row y; `start` holds the attributes at (x0, y).
using SpanShader = void (*)(const RasterContext& context, const Gradients& gradients, int y, int x0, int x1,
                            const float* start);

// Everything one draw's triangles are rasterised and shaded with.
struct RasterContext {
  RenderTarget target;
  RECT scissor;  // the viewport's pixels, right and bottom exclusive
  PixelState pixels;
  CullMode cull = CullMode::kCounterClockwise;
  SpanShader shadeSpan = nullptr;  // the span shader for the target's formats
};
