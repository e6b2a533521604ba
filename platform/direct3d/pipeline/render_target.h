// The memory the pipeline draws into, a colour surface of 32, 24 or 16 bits and its attached
// depth surface: made from the surfaces, cleared, and its pixels read and written byte-exactly.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/direct3d/pipeline/pipeline.h"
#include "platform/directdraw/ddraw.h"
#include "platform/pixels/pixel_format.h"

// The colour format of an RGB surface the device can draw into, false for any other.
bool ColourFormatOf(const DDPIXELFORMAT& format, ColourFormat* result);
// The format of a depth surface the device can test against, false for any other.
bool DepthFormatOf(const DDPIXELFORMAT& format, DepthFormat* result);

// The target as the surface and its attached depth surface stand now (a flip moves memory).
RenderTarget MakeRenderTarget(IDirectDrawSurface4* surface);

// Fills the rectangle (right and bottom exclusive, inside the target) with black, or the depth
// with the far value.
void FillBlack(const RenderTarget& target, const RECT& rect);
void FillFarDepth(const RenderTarget& target, const RECT& rect);

// Pixels as 0x00RRGGBB, whatever the surface's format; a 16-bit surface keeps the top bits of
// each channel, as the canvas copy does, and reads back widened (platform/pixels/pixel_format.h).
inline std::uint32_t ReadPixel(ColourFormat format, const std::uint8_t* at) {
  switch (format) {
    case ColourFormat::kRgb32: return LoadRgb32(at);
    case ColourFormat::kRgb24: return LoadRgb24(at);
    case ColourFormat::kRgb565: return WidenRgb565(LoadRgb565(at));
  }
  return 0;
}

inline void WritePixel(ColourFormat format, std::uint8_t* at, std::uint32_t rgb) {
  switch (format) {
    case ColourFormat::kRgb32: StoreRgb32(at, rgb); return;
    case ColourFormat::kRgb24: StoreRgb24(at, rgb); return;
    case ColourFormat::kRgb565: StoreRgb565(at, PackRgb565(rgb)); return;
  }
}

// Depth rows may start at any byte (surfaces can have padded rows), so depths go through memcpy.
inline std::uint16_t LoadDepth16(const std::uint8_t* at) {
  std::uint16_t v;
  std::memcpy(&v, at, 2);
  return v;
}
inline void StoreDepth16(std::uint8_t* at, std::uint16_t v) { std::memcpy(at, &v, 2); }
inline float LoadDepth32(const std::uint8_t* at) {
  float v;
  std::memcpy(&v, at, 4);
  return v;
}
inline void StoreDepth32(std::uint8_t* at, float v) { std::memcpy(at, &v, 4); }

inline int BytesPerPixel(ColourFormat format) {
  return format == ColourFormat::kRgb32 ? 4 : format == ColourFormat::kRgb24 ? 3 : 2;
}
