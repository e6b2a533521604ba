#include <algorithm>
#include <cmath>

#include "apps/pakgen/palette.h"
#include "apps/pakgen/pictures.h"

namespace {

constexpr int kSize = 256;

// Fades to exact black before the picture's edge, so a glow never shows its square.
float EdgeFade(float r) { return 1 - SmoothStep(0.78f, 0.97f, r); }

}  // namespace

Picture MakeEnvironmentMap() {
  // Columns measure closeness to one group of points and rows to the other, so the bottom-right
  // corner is where a blob is thickest and the top-left is empty space. Read by the distance
  // from that corner, the map is a liquid-metal blob: a white highlight, bands of reflected sky
  // and a warm horizon, a bright rim where the surface turns away, then night.
  return Paint(kSize, kSize, [](float u, float v) {
    const float r = std::hypot(1 - u, 1 - v) / std::sqrt(2.f);  // 0 at the corner, 1 opposite
    constexpr float kEdge = 0.62f;
    if (r > kEdge) {
      const float fall = (r - kEdge) / (1 - kEdge);
      return theme::kViolet * (0.35f * std::pow(1 - fall, 3.f)) + theme::kTeal * (0.4f * std::exp(-fall * 18));
    }
    const float depth = r / kEdge;  // 0 at the blob's heart, 1 at its outline
    Color c = Mix(theme::kIce, theme::kTeal, SmoothStep(0.1f, 0.45f, depth));
    c = Mix(c, theme::kIndigo, SmoothStep(0.45f, 0.8f, depth));
    const float horizon = std::exp(-std::pow((depth - 0.52f) / 0.045f, 2.f));
    c = Screen(c, theme::kAmber * (0.8f * horizon));
    const float rim = std::exp(-std::pow((depth - 0.97f) / 0.05f, 2.f));
    c = Screen(c, theme::kIce * (0.9f * rim));
    return Screen(c, theme::kWhite * std::exp(-depth * depth * 40));
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
