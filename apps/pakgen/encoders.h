// The byte forms of the package's raw pictures, headerless 24-bit (red, green, blue) and 8-bit
// grey, and the packed pixels that the shared PCX and PNG writers take.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/common/picture.h"

using Bytes = std::vector<std::uint8_t>;

// 0x00RRGGBB a pixel, rows top to bottom.
std::vector<std::uint32_t> PackPixels(const Picture& picture);
// Red, green, blue bytes per pixel, rows top to bottom.
Bytes EncodeRgbRaw(const Picture& picture);
// One grey byte per pixel: the pixel's luma (grey pictures keep their level).
Bytes EncodeGreyRaw(const Picture& picture);
