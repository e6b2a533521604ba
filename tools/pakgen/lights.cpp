#include <algorithm>
#include <cmath>

#include "tools/pakgen/palette.h"
#include "tools/pakgen/pictures.h"

namespace {

constexpr int kSize = 256;

// Fades to exact black before the picture's edge, so a glow never shows its square.
float EdgeFade(float r) { return 1 - SmoothStep(0.78f, 0.97f, r); }

}  // namespace

Picture MakeEnvironmentMap() {
  // Columns measure closeness to one group of points and rows to the other; the blobs are where
  // both are close, so the light gathers in the bottom-right corner and the top-left is night.
  return Paint(kSize, kSize, [](float u, float v) {
    const float near = std::sqrt(u * v);
    Color c = theme::Dusk().Sample(std::pow(near, 0.9f));
    const float rim = std::exp(-std::pow((near - 0.55f) / 0.06f, 2.f));
    c = Screen(c, theme::kAmber * (0.55f * rim));
    const float du = 1 - u, dv = 1 - v;
    const float highlight = std::exp(-(du * du + dv * dv) * 22);
    return Screen(c, theme::kWhite * highlight);
  });
}

Picture MakeStarFlare() {
  return Paint(kSize, kSize, [](float u, float v) {
    const float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2;
    const float r = std::hypot(x, y), angle = std::atan2(y, x);
    const float core = std::exp(-r * r * 40);
    const float halo = std::exp(-r * 4.5f) * 0.55f;
    const float rays = std::pow(std::fabs(std::cos(3 * angle)), 60.f) * std::exp(-r * 3.2f) * 0.8f +
                       std::pow(std::fabs(std::cos(3 * angle + kTau / 12)), 90.f) * std::exp(-r * 5.f) * 0.4f;
    Color c = theme::kAmber * (halo + rays) + theme::kGold * core;
    c = Screen(c, theme::kWhite * core);
    return c * EdgeFade(r);
  });
}

Picture MakeRingFlare() {
  return Paint(kSize, kSize, [](float u, float v) {
    const float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2;
    const float r = std::hypot(x, y);
    const float ring = std::exp(-std::pow((r - 0.58f) / 0.05f, 2.f));
    const float inner = std::exp(-std::pow((r - 0.42f) / 0.025f, 2.f)) * 0.4f;
    const float core = std::exp(-r * r * 18) * 0.8f;
    Color c = theme::kTeal * (ring + inner) + theme::kIce * core + theme::kViolet * (0.35f * std::exp(-r * 2.5f));
    return c * EdgeFade(r);
  });
}
