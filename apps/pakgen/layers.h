// Painting with masks: soft glows from blurred coverage, outlines from grown coverage, and the
// two ways a layer goes onto a picture (covering it, or adding light to it).
#pragma once

#include "tools/common/picture.h"

// A soft copy of the mask: three box blurs of the given radius (close to a Gaussian).
Mask Blurred(const Mask& mask, int radius);
// Coverage grown by `radius` pixels in every direction (a round brush).
Mask Grown(const Mask& mask, int radius);
// Covers the picture with `color` where the mask is set, in proportion to its coverage.
void Cover(Picture& picture, const Mask& mask, Color color, float opacity = 1.f);
// Adds `color` as light, in proportion to the mask, saturating towards white.
void Glow(Picture& picture, const Mask& mask, Color color, float strength = 1.f);
