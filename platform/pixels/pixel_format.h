// The colour formats of the surfaces, and every packing and widening between them. A pixel is
// 0x00RRGGBB in a 32-bit surface, the same three bytes (blue first) in a 24-bit one, and 5-6-5 in a
// 16-bit one. Packing to 16 bits keeps the top bits of each channel; widening from it repeats each
// channel's top bits into the bits the format dropped, so that full intensity reads back as 255
// and packing what was widened gives the same 16 bits. These run for every pixel drawn or shown:
// all inline, and the vector code takes its shifts and masks from here.
#pragma once

#include <cstdint>
#include <cstring>

// The channels' places in 0x00RRGGBB.
inline constexpr std::uint32_t kRed888Mask = 0xFF0000, kGreen888Mask = 0x00FF00, kBlue888Mask = 0x0000FF;

// The channels' places in 5-6-5, and how far right 0x00RRGGBB moves to bring each channel's top
// bits there.
inline constexpr std::uint32_t kRed565Mask = 0xF800, kGreen565Mask = 0x07E0, kBlue565Mask = 0x001F;
inline constexpr int kRed565Shift = 8, kGreen565Shift = 5, kBlue565Shift = 3;

constexpr std::uint16_t PackRgb565(std::uint32_t rgb) {
  return static_cast<std::uint16_t>(((rgb >> kRed565Shift) & kRed565Mask) | ((rgb >> kGreen565Shift) & kGreen565Mask) |
                                    ((rgb >> kBlue565Shift) & kBlue565Mask));
}

constexpr std::uint32_t WidenRgb565(std::uint16_t v) {
  const std::uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// Pixels in memory, at any byte (rows may be padded), in the byte order of the surfaces.
inline std::uint32_t LoadRgb32(const std::uint8_t* at) {
  std::uint32_t v;
  std::memcpy(&v, at, 4);
  return v & 0xFFFFFF;
}
inline void StoreRgb32(std::uint8_t* at, std::uint32_t rgb) {
  const std::uint32_t v = rgb & 0xFFFFFF;
  std::memcpy(at, &v, 4);
}

inline std::uint32_t LoadRgb24(const std::uint8_t* at) {
  return at[0] | (at[1] << 8) | (static_cast<std::uint32_t>(at[2]) << 16);
}
inline void StoreRgb24(std::uint8_t* at, std::uint32_t rgb) {
  at[0] = static_cast<std::uint8_t>(rgb);
  at[1] = static_cast<std::uint8_t>(rgb >> 8);
  at[2] = static_cast<std::uint8_t>(rgb >> 16);
}

inline std::uint16_t LoadRgb565(const std::uint8_t* at) {
  std::uint16_t v;
  std::memcpy(&v, at, 2);
  return v;
}
inline void StoreRgb565(std::uint8_t* at, std::uint16_t v) { std::memcpy(at, &v, 2); }
