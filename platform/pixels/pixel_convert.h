// Turns a display picture of any depth into 32-bit 0x00RRGGBB rows, for screens and files.
#pragma once

#include <cstdint>

#include "platform/windows/backend.h"

// Writes frame.height rows of frame.width pixels to out, rows outPitch bytes apart.
void ConvertToXrgb(const FrameView& frame, std::uint8_t* out, int outPitch);
