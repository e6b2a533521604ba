// A canvas pixel (0x00RRGGBB) as the 24- and 16-bit displays keep it: three bytes, blue first, or
// 5-6-5 keeping the top bits of each channel. The platform packs its own surfaces the same way in
// a header the system does not include; a test holds the two equal.
#pragma once

#include <cstdint>

inline void StoreCanvasPixel24(std::uint8_t* at, std::uint32_t p) {
  at[0] = static_cast<std::uint8_t>(p);
  at[1] = static_cast<std::uint8_t>(p >> 8);
  at[2] = static_cast<std::uint8_t>(p >> 16);
}

inline std::uint16_t CanvasPixel565(std::uint32_t p) {
  return static_cast<std::uint16_t>(((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F));
}
