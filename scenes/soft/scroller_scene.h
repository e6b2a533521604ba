// Slot 13, the last: a full-canvas background with a tall grey text scrolling up over its left
// 320 columns, one row every 25 ms for 20 seconds, then standing still.
#pragma once

#include <cstdint>

inline constexpr int kScrollWidth = 320;
inline constexpr int kScrollRows = 1120;
inline constexpr std::uint32_t kScrollRowPeriod = 25;  // ms per text row
inline constexpr std::uint32_t kScrollStopTime = 20000;
inline constexpr int kScrollLastFirstRow = 800;

struct ScrollerScene {
  std::uint32_t* background;  // 512 x 280
  std::uint32_t* text;        // 320 x 1120 grey pixels
};

extern ScrollerScene Scroller;

void SetUpScrollerScene();
void RenderScrollerScene(std::uint32_t elapsed, std::uint32_t* canvas);
void CleanUpScrollerScene();

// Draws the frame at `elapsed` into the canvas without showing it.
void DrawScrollerFrame(std::uint32_t elapsed, std::uint32_t* canvas);
