#include "platform/direct3d/pipeline/render_target.h"

#include "platform/direct3d/d3d.h"

bool ColourFormatOf(const DDPIXELFORMAT& format, ColourFormat* result) {
  if ((format.dwFlags & DDPF_RGB) == 0) return false;
  const bool masks888 =
      format.dwRBitMask == kRed888Mask && format.dwGBitMask == kGreen888Mask && format.dwBBitMask == kBlue888Mask;
  if (format.dwRGBBitCount == 32 && masks888) *result = ColourFormat::kRgb32;
  else if (format.dwRGBBitCount == 24 && masks888) *result = ColourFormat::kRgb24;
  else if (format.dwRGBBitCount == 16 && format.dwRBitMask == kRed565Mask && format.dwGBitMask == kGreen565Mask &&
           format.dwBBitMask == kBlue565Mask) {
    *result = ColourFormat::kRgb565;
  } else {
    return false;
  }
  return true;
}

bool DepthFormatOf(const DDPIXELFORMAT& format, DepthFormat* result) {
  if ((format.dwFlags & DDPF_ZBUFFER) == 0) return false;
  if (format.dwZBufferBitDepth == 16) *result = DepthFormat::kFixed16;
  else if (format.dwZBufferBitDepth == 32) *result = DepthFormat::kFloat32;
  else return false;
  return true;
}

RenderTarget MakeRenderTarget(IDirectDrawSurface4* surface) {
  RenderTarget target;
  ColourFormatOf(surface->Format(), &target.format);
  target.colour = surface->Pixels();
  target.colourPitch = surface->Pitch();
  target.width = surface->Width();
  target.height = surface->Height();
  IDirectDrawSurface4* depth = surface->AttachedDepth();
  if (depth != nullptr && DepthFormatOf(depth->Format(), &target.depthFormat)) {
    target.depth = depth->Pixels();
    target.depthPitch = depth->Pitch();
  }
  return target;
}

void FillBlack(const RenderTarget& target, const RECT& rect) {
  const int bytes = BytesPerPixel(target.format);
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    std::memset(target.colour + static_cast<std::ptrdiff_t>(y) * target.colourPitch + rect.left * bytes, 0,
                static_cast<std::size_t>(rect.right - rect.left) * bytes);
  }
}

void FillFarDepth(const RenderTarget& target, const RECT& rect) {
  if (rect.top >= rect.bottom) return;
  // The first row is filled value by value, the others are copies of it.
  const int bytes = target.depthFormat == DepthFormat::kFixed16 ? 2 : 4;
  std::uint8_t* first = target.depth + static_cast<std::ptrdiff_t>(rect.top) * target.depthPitch + rect.left * bytes;
  for (LONG x = 0; x < rect.right - rect.left; ++x) {
    if (target.depthFormat == DepthFormat::kFixed16) StoreDepth16(first + 2 * x, 0xFFFF);
    else StoreDepth32(first + 4 * x, 1.0f);
  }
  for (LONG y = rect.top + 1; y < rect.bottom; ++y) {
    std::memcpy(first + static_cast<std::ptrdiff_t>(y - rect.top) * target.depthPitch, first,
                static_cast<std::size_t>(rect.right - rect.left) * bytes);
  }
}
