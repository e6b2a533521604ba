#include "scenes/soft/pixel_bytes.h"

PixelPath RenderPixelPath = PixelPath::kPacked;
