// Headerless pictures whose shape the loader fixes: 24-bit colour (red, green, blue a pixel)
// and 8-bit grey, rows top to bottom.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kRawScreenPixels = 512 * 280;
inline constexpr std::size_t kRawStripPixels = 512 * 50;

// 512 x 280 colour pixels as 0x00RRGGBB, canvas-sized.
std::uint32_t* LoadRgbRawScreen(const char* name);
// 512 x 50 colour pixels as 0x00RRGGBB.
std::uint32_t* LoadRgbRawStrip(const char* name);
// n grey pixels, each grey byte g as the pixel g in red, green and blue alike.
std::uint32_t* LoadGrayRaw(std::size_t n, const char* name);
// 512 x 280 grey bytes, unconverted.
std::uint8_t* LoadRaw8Screen(const char* name);

// Turns each grey byte g into the pixel 0x00gggggg.
void GrayToPixels(const std::uint8_t* grey, std::uint32_t* pixels, std::size_t n);
