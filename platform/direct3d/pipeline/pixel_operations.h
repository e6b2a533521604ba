// The per-pixel colour operations after texturing: modulation by the lit colour, the specular
// sum, and blending with the target. Colours are packed 0x00RRGGBB; channels are bytes.
#pragma once

#include <cstdint>

#include "platform/direct3d/d3d.h"

// x / 255 rounded to nearest, exact for 0 <= x <= 255 * 255.
inline std::uint32_t DivideBy255(std::uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

inline std::uint32_t Channel(std::uint32_t rgb, int shift) { return (rgb >> shift) & 0xFF; }
inline std::uint32_t Pack(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return (r << 16) | (g << 8) | b; }

// Texel times the lit colour, channel by channel: white leaves the texel as it is.
inline std::uint32_t Modulate(std::uint32_t texel, std::uint32_t colour) {
  return Pack(DivideBy255(Channel(texel, 16) * Channel(colour, 16)), DivideBy255(Channel(texel, 8) * Channel(colour, 8)),
              DivideBy255(Channel(texel, 0) * Channel(colour, 0)));
}

inline std::uint32_t AddSaturated(std::uint32_t a, std::uint32_t b) {
  auto add = [](std::uint32_t x, std::uint32_t y) { return x + y > 255 ? 255u : x + y; };
  return Pack(add(Channel(a, 16), Channel(b, 16)), add(Channel(a, 8), Channel(b, 8)), add(Channel(a, 0), Channel(b, 0)));
}

// One side of the blend: a colour weighed by a factor that may read either colour.
inline std::uint32_t Weigh(std::uint32_t colour, D3DBLEND factor, std::uint32_t source, std::uint32_t dest) {
  switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_SRCCOLOR: return Modulate(colour, source);
    case D3DBLEND_DESTCOLOR: return Modulate(colour, dest);
    default: return colour;  // D3DBLEND_ONE
  }
}

// source * sourceFactor + dest * destFactor, clamped per channel.
inline std::uint32_t Blend(std::uint32_t source, std::uint32_t dest, D3DBLEND sourceFactor, D3DBLEND destFactor) {
  return AddSaturated(Weigh(source, sourceFactor, source, dest), Weigh(dest, destFactor, source, dest));
}
