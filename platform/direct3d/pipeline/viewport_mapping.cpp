#include "platform/direct3d/pipeline/viewport_mapping.h"

namespace {

// How far beyond the viewport, in pixels, geometry may reach before it is clipped; it keeps the
// rasteriser's fixed-point products well inside 64 bits.
constexpr float kGuardPixels = 4096.0f;

}  // namespace

bool MakeViewportMapping(const D3DVIEWPORT2& viewport, int targetWidth, int targetHeight, ViewportMapping* mapping) {
  if (!(viewport.dvClipWidth > 0) || !(viewport.dvClipHeight > 0) || !(viewport.dvMaxZ > viewport.dvMinZ)) return false;
  if (viewport.dwWidth == 0 || viewport.dwHeight == 0) return false;
  if (viewport.dwX > static_cast<DWORD>(targetWidth) || viewport.dwWidth > static_cast<DWORD>(targetWidth) - viewport.dwX ||
      viewport.dwY > static_cast<DWORD>(targetHeight) ||
      viewport.dwHeight > static_cast<DWORD>(targetHeight) - viewport.dwY) {
    return false;
  }
  ViewportMapping& m = *mapping;
  m.left = static_cast<int>(viewport.dwX);
  m.top = static_cast<int>(viewport.dwY);
  m.right = m.left + static_cast<int>(viewport.dwWidth);
  m.bottom = m.top + static_cast<int>(viewport.dwHeight);
  m.xScale = static_cast<float>(viewport.dwWidth) / viewport.dvClipWidth;
  m.yScale = static_cast<float>(viewport.dwHeight) / viewport.dvClipHeight;
  m.xOffset = static_cast<float>(viewport.dwX) - viewport.dvClipX * m.xScale;
  m.yOffset = static_cast<float>(viewport.dwY) + viewport.dvClipY * m.yScale;
  m.minZ = viewport.dvMinZ;
  m.maxZ = viewport.dvMaxZ;
  m.zScale = 1.0f / (viewport.dvMaxZ - viewport.dvMinZ);
  m.guardLeft = viewport.dvClipX - kGuardPixels / m.xScale;
  m.guardRight = viewport.dvClipX + viewport.dvClipWidth + kGuardPixels / m.xScale;
  m.guardTop = viewport.dvClipY + kGuardPixels / m.yScale;
  m.guardBottom = viewport.dvClipY - viewport.dvClipHeight - kGuardPixels / m.yScale;
  return true;
}

ScreenVertex ToScreen(const ClipVertex& v, const ViewportMapping& mapping) {
  const float q = 1.0f / v.w;
  ScreenVertex s;
  s.x = mapping.xOffset + v.x * q * mapping.xScale;
  s.y = mapping.yOffset - v.y * q * mapping.yScale;
  // Clipping leaves z/w inside the volume up to rounding; the depth must not leave [0, 1].
  const float z = (v.z * q - mapping.minZ) * mapping.zScale;
  s.z = z > 0 ? (z < 1 ? z : 1) : 0;
  s.q = q;
  s.u = v.u;
  s.v = v.v;
  CopyColours(v, &s);
  return s;
}

void CopyColours(const ClipVertex& v, ScreenVertex* s) {
  s->r = v.r;
  s->g = v.g;
  s->b = v.b;
  s->sr = v.sr;
  s->sg = v.sg;
  s->sb = v.sb;
}
