// Brings pictures to the screen: the canvas into the back buffer's rows 52 to 331, and the back
// buffer to the screen by a flip (full-screen) or a blit into the client area (windowed).
#pragma once

#include <cstdint>

inline constexpr int kPictureTop = 52;

extern std::uint8_t* SurfacePointer;
extern std::int32_t SurfacePitch;

void LockBackBuffer();
void UnlockBackBuffer();
// Copies the canvas into the picture area, converting to the display's depth.
void CopyCanvas();
void PresentFrame();
