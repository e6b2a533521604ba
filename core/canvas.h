// The 512 x 280 true-colour picture the software scenes draw into; a pixel is 0x00RRGGBB.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kCanvasWidth = 512;
inline constexpr int kCanvasHeight = 280;
inline constexpr std::size_t kCanvasBytes = 0x8c000;  // 280 rows of 2048 bytes
static_assert(kCanvasBytes == kCanvasWidth * kCanvasHeight * 4);

extern std::uint32_t* Canvas;
