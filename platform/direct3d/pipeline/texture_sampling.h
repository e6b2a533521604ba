// Texturing: texels of a 32-bit texture fetched with wrap addressing, nearest or bilinear.
// Texel i spans [i/W, (i+1)/W); its centre is at (i + 0.5)/W.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/direct3d/pipeline/lanes.h"
#include "platform/direct3d/pipeline/pipeline.h"
#include "platform/directdraw/ddraw.h"

// The view of a 32-bit RGB texture surface whose sides are powers of two; false for any other.
bool MakeTextureView(IDirectDrawSurface4* surface, TextureView* view);

// A texel coordinate as a 16.16 fixed-point number, floored, for one value or four. Coordinates
// are first pinned to +-8192 texels, which the wrap makes harmless, so that every step is exact
// and defined (NaN too) and the difference of two coordinates still fits an int.
template <class Value>
auto FixedTexelCoordinate(Value x) {
  constexpr float kLimit = 8192.0f;
  x = x > -kLimit ? x : -kLimit;
  x = x < kLimit ? x : kLimit;
  const Value scaled = x * 65536.0f;  // exact: a power of two
  const auto whole = Truncate(scaled);
  return whole - Greater(ToFloat(whole), scaled);
}

// The texel at (x, y), wrapped into the texture, as 0x00RRGGBB (the texture's alpha is not used
// by the colour pipeline).
inline std::uint32_t Texel(const TextureView& t, int x, int y) {
  std::uint32_t v;
  std::memcpy(&v, t.texels + static_cast<std::ptrdiff_t>(y & t.heightMask) * t.pitch + (x & t.widthMask) * 4, 4);
  return v & 0xFFFFFF;
}

// The texel whose square holds the point (u, v), given as 16.16 texel coordinates.
inline std::uint32_t SampleNearest(const TextureView& t, int u, int v) { return Texel(t, u >> 16, v >> 16); }

// Mixes two texels with weight w/256 on the second, red and blue in one multiply, green in another;
// each channel is (a (256 - w) + b w) >> 8.
inline std::uint32_t MixTexels(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
  const std::uint32_t rb = ((a & 0xFF00FF) * (256 - w) + (b & 0xFF00FF) * w) >> 8;
  const std::uint32_t g = ((a & 0x00FF00) * (256 - w) + (b & 0x00FF00) * w) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

// Texel centres sit half a texel in, so the four centres round the point (u, v) (16.16 texel
// coordinates) are found half a texel back; the fraction's top eight bits weigh them. At a texel's
// centre the weights are 0 and the texel comes back unchanged.
inline std::uint32_t SampleBilinear(const TextureView& t, int u, int v) {
  u -= 32768;
  v -= 32768;
  const int x0 = u >> 16, y0 = v >> 16;
  const std::uint32_t wx = static_cast<std::uint32_t>(u >> 8) & 0xFF, wy = static_cast<std::uint32_t>(v >> 8) & 0xFF;
  const std::uint32_t top = MixTexels(Texel(t, x0, y0), Texel(t, x0 + 1, y0), wx);
  const std::uint32_t bottom = MixTexels(Texel(t, x0, y0 + 1), Texel(t, x0 + 1, y0 + 1), wx);
  return MixTexels(top, bottom, wy);
}
