#include "apps/pakgen/layers.h"

#include <algorithm>
#include <cmath>

namespace {

// One box pass along rows (horizontal) or columns; edges read as empty.
Mask BoxPass(const Mask& in, int radius, bool horizontal) {
  Mask out(in.width, in.height);
  const float scale = 1.f / static_cast<float>(2 * radius + 1);
  const int lines = horizontal ? in.height : in.width, length = horizontal ? in.width : in.height;
  for (int line = 0; line < lines; ++line) {
    auto read = [&](int i) { return horizontal ? in.get(i, line) : in.get(line, i); };
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += read(i);
    for (int i = 0; i < length; ++i) {
      (horizontal ? out.at(i, line) : out.at(line, i)) = sum * scale;
      sum += read(i + radius + 1) - read(i - radius);
    }
  }
  return out;
}

}  // namespace

Mask Blurred(const Mask& mask, int radius) {
  Mask m = mask;
  for (int pass = 0; pass < 3; ++pass) m = BoxPass(BoxPass(m, radius, true), radius, false);
  return m;
}

Mask Grown(const Mask& mask, int radius) {
  Mask out(mask.width, mask.height);
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      float best = 0;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
          if (d > radius + 0.5f) continue;
          // The brush's rim is soft so grown outlines keep smooth edges.
          best = std::max(best, mask.get(x + dx, y + dy) * std::min(1.f, radius + 0.5f - d + 0.5f));
        }
      }
      out.at(x, y) = best;
    }
  }
  return out;
}

void Cover(Picture& picture, const Mask& mask, Color color, float opacity) {
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = Mix(picture.pixels[i], color, std::clamp(mask.values[i] * opacity, 0.f, 1.f));
}

void Glow(Picture& picture, const Mask& mask, Color color, float strength) {
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = Screen(picture.pixels[i], color * std::clamp(mask.values[i] * strength, 0.f, 1.f));
}
