// The memory the pipeline draws into, a colour surface of 32, 24 or 16 bits and its attached
// depth surface: made from the surfaces, cleared, and its pixels read and written byte-exactly.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/direct3d/pipeline/pipeline.h"
#include "platform/directdraw/ddraw.h"

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

// Pixels as 0x00RRGGBB, whatever the surface's format.
inline std::uint32_t ReadPixel(ColourFormat format, const std::uint8_t* at) {
  switch (format) {
    case ColourFormat::kRgb32: {
      std::uint32_t v;
      std::memcpy(&v, at, 4);
      return v & 0xFFFFFF;
    }
    case ColourFormat::kRgb24: return at[0] | (at[1] << 8) | (static_cast<std::uint32_t>(at[2]) << 16);
    case ColourFormat::kRgb565: {
      std::uint16_t v;
      std::memcpy(&v, at, 2);
      // Each channel's top bits are repeated into the bits the format dropped, so that full
      // intensity reads back as 255.
      const std::uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
      return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }
  }
  return 0;
}

// A 16-bit surface keeps the top bits of each channel, as the canvas copy does.
inline void WritePixel(ColourFormat format, std::uint8_t* at, std::uint32_t rgb) {
  switch (format) {
    case ColourFormat::kRgb32: {
      const std::uint32_t v = rgb & 0xFFFFFF;
      std::memcpy(at, &v, 4);
      return;
    }
    case ColourFormat::kRgb24:
      at[0] = static_cast<std::uint8_t>(rgb);
      at[1] = static_cast<std::uint8_t>(rgb >> 8);
      at[2] = static_cast<std::uint8_t>(rgb >> 16);
      return;
    case ColourFormat::kRgb565: {
      const std::uint16_t v =
          static_cast<std::uint16_t>(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F));
      std::memcpy(at, &v, 2);
      return;
    }
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
