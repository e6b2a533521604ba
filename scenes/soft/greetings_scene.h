// Slot 12: a round tunnel seen head-on, its texture cross-fading between two pictures, turning
// back and forth and darkening toward the centre; over it one of nine greetings, changed every
// 2000 ms, pulses in size around the middle, its black pixels left transparent.
#pragma once

#include <cstdint>

#include "scenes/soft/pixel_bytes.h"

inline constexpr int kGreetingCount = 9;
inline constexpr std::uint32_t kGreetingPeriod = 2000;  // ms each greeting stays

struct GreetingsScene {
  std::int32_t* depth;       // 512 x 280, laid out like the canvas
  std::int32_t* angle;       // likewise
  std::uint32_t* texture1;   // 256 x 256
  std::uint32_t* texture5;   // 256 x 256
  std::uint32_t* blend;      // 256 x 256, rebuilt every frame
  std::uint32_t* greetings[kGreetingCount];  // 256 x 256 each; 0 is transparent
};

extern GreetingsScene Greetings;

// Where and how large the greeting of one frame is drawn.
struct GreetingPlacement {
  int picture;           // 0 to 8
  int halfSize;          // w: the greeting covers 2w x 2w canvas pixels
  std::uint32_t step;    // 16.16 fixed-point step through the picture
};

void SetUpGreetingsScene();
void RenderGreetingsScene(std::uint32_t elapsed, std::uint32_t* canvas);
void CleanUpGreetingsScene();

// Fills both tables of the scene (already allocated).
void FillGreetingsTables();
GreetingPlacement PlaceGreeting(std::uint32_t elapsed);
// Draws the frame at `elapsed` into the canvas without showing it.
void DrawGreetingsFrame(std::uint32_t elapsed, std::uint32_t* canvas, PixelPath path);
