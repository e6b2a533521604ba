// Writes pictures as PNG files.
#pragma once

#include <cstdint>
#include <string>

#include "platform/windows/backend.h"

// Writes 32-bit 0x00RRGGBB pixels (rows `pitch` bytes apart) as an RGB PNG; false on failure,
// with the reason in *error.
bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height, int pitch,
              std::string* error);

// Writes a display picture of any depth as an RGB PNG.
bool WriteFramePng(const std::string& path, const FrameView& frame, std::string* error);
