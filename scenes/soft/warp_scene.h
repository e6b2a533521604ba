// Slots 1 and 10: a texture tiled and warped by two travelling sine waves, averaged with a
// full-canvas overlay; in slot 10 a shaking text picture, changed every 1500 ms, is added on top.
#pragma once

#include <cstdint>

#include "scenes/soft/pixel_bytes.h"

inline constexpr int kWarpTextCount = 6;
inline constexpr int kWarpTextWidth = 200;
inline constexpr int kWarpTextHeight = 80;
inline constexpr std::uint32_t kWarpTextPeriod = 1500;  // ms each text picture stays

struct WarpScene {
  std::uint32_t* texture6;  // 256 x 256, slot 10's texture
  std::uint32_t* texture5;  // 256 x 256, slot 1's texture
  std::uint32_t* overlay;   // 512 x 280
  std::uint32_t* texts[kWarpTextCount];  // 200 x 80 grey pixels each
};

extern WarpScene Warp;

void SetUpWarpScene();
// The slot's render operation: tells its two slots apart by the timeline's number.
void RenderWarpScene(std::uint32_t elapsed, std::uint32_t* canvas);
void CleanUpWarpScene();

// Draws the frame at `elapsed` into the canvas without showing it. The timeline number is 2 in
// slot 1 and 11 in slot 10.
void DrawWarpFrame(std::uint32_t elapsed, unsigned timelineNumber, std::uint32_t* canvas, PixelPath path);
