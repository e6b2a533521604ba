// The byte forms of the package's pictures: 24-bit PCX (three 8-bit planes, run-length
// encoded), headerless 24-bit raw (red, green, blue) and headerless 8-bit grey raw.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/common/picture.h"

using Bytes = std::vector<std::uint8_t>;

// A version-5 PCX with the picture's size in its header. Runs end at every plane's end, so
// readers that decode line by line and those that decode one stream agree.
Bytes EncodePcx(const Picture& picture);
// Red, green, blue bytes per pixel, rows top to bottom.
Bytes EncodeRgbRaw(const Picture& picture);
// One grey byte per pixel: the pixel's luma (grey pictures keep their level).
Bytes EncodeGreyRaw(const Picture& picture);
