#include <algorithm>
#include <cmath>

#include "apps/pakgen/layers.h"
#include "apps/pakgen/noise.h"
#include "apps/pakgen/palette.h"
#include "apps/pakgen/pictures.h"

namespace {

constexpr int kWidth = 512, kHeight = 280, kFrameHeight = 50;

// A title in light with a soft halo of `halo` around it.
void LightText(Picture& picture, Typesetter& type, const std::string& text, const TextStyle& style, int centreX,
               int baseline, Color ink, Color halo, int haloRadius = 5) {
  Mask mask(picture.width, picture.height);
  type.DrawCentred(mask, text, style, centreX, baseline);
  Glow(picture, Blurred(mask, haloRadius), halo, 1.2f);
  Cover(picture, mask, ink);
}

void ScatterStars(Picture& picture, std::uint32_t seed, int count, int maxY) {
  Scatter stars(seed);
  for (int i = 0; i < count; ++i) {
    const int x = static_cast<int>(stars.unit() * picture.width);
    const int y = static_cast<int>(stars.unit() * stars.unit() * maxY);
    const float level = 0.25f + 0.75f * stars.unit() * stars.unit();
    picture.at(x, y) = Screen(picture.at(x, y), Grey(level * (1 - static_cast<float>(y) / maxY * 0.6f)));
  }
}

// Night sky fading to the palette's warm horizon at row `horizon`.
Color Sky(float y, float horizon) {
  const float t = std::clamp(y / horizon, 0.f, 1.f);
  static const Gradient sky{theme::kNight, theme::kIndigo, theme::kViolet, theme::kEmber, theme::kAmber};
  return sky.Sample(std::pow(t, 1.6f));
}

// A lit planet of radius `radius` at (cx, cy), lit from the upper left.
void Planet(Picture& picture, float cx, float cy, float radius, std::uint32_t seed) {
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const float dx = (x - cx) / radius, dy = (y - cy) / radius, r2 = dx * dx + dy * dy;
      Color& c = picture.at(x, y);
      const float atmosphere = std::exp(-std::max(0.f, std::sqrt(r2) - 1) * 9) * (r2 > 1 ? 0.6f : 0.f);
      c = Screen(c, theme::kTeal * atmosphere);
      if (r2 > 1) continue;
      const float dz = std::sqrt(1 - r2);
      const float lit = std::clamp(-0.55f * dx - 0.45f * dy + 0.7f * dz, 0.f, 1.f);
      const float bands = TileFbm(0.5f + dx * 0.3f, 0.5f + dy * 0.9f + dx * 0.1f, 4, 5, 0.55f, seed);
      Color surface = Mix(theme::kIndigo, theme::kTeal, bands) * (0.15f + 0.95f * lit);
      surface = Screen(surface, theme::kIce * std::pow(lit, 8.f) * 0.5f);
      c = Mix(c, surface, SmoothStep(1.f, 0.97f, r2));
    }
  }
}

}  // namespace

Picture MakeLoadingScreen(Typesetter& type) {
  Picture picture = Paint(kWidth, kHeight, [](float u, float v) {
    const float r = std::hypot((u - 0.5f) * 1.8f, v - 0.45f);
    return Grey(0.05f + 0.22f * std::exp(-r * r * 4));
  });
  LightText(picture, type, "KALETH", {Face::SerifBold, 78, 14}, kWidth / 2, 150, Grey(0.95f), Grey(0.5f), 7);
  LightText(picture, type, "ORVALIS", {Face::Sans, 18, 10}, kWidth / 2, 188, Grey(0.7f), Grey(0.2f), 3);
  Mask line(kWidth, kHeight);
  for (int x = 196; x < 316; ++x) line.at(x, 204) = 1 - std::fabs(x - 256.f) / 60.f;
  Glow(picture, line, Grey(0.6f));
  LightText(picture, type, "loading", {Face::Sans, 12, 3}, kWidth / 2, 246, Grey(0.45f), Grey(0.f), 1);
  return picture;
}

Picture MakeWarpOverlay(Typesetter& type) {
  // Half of every pixel comes from here: bright towards the middle so the ripples glow through,
  // dark at the rim to hold the eye, with two ruled bands at top and bottom.
  Picture picture = Paint(kWidth, kHeight, [](float u, float v) {
    const float r = std::hypot((u - 0.5f) * 1.6f, v - 0.5f);
    Color c = theme::Dusk().Sample(0.55f - 0.5f * r);
    const float beams = 0.5f + 0.5f * std::sin(kTau * 7 * (u - 0.5f) / (0.35f + v));
    c = Screen(c, theme::kTeal * (0.12f * beams * (1 - v)));
    const float y = v * kHeight;
    if (y < 18 || y >= kHeight - 18) c = c * 0.35f;
    if (std::fabs(y - 18) < 1 || std::fabs(y - (kHeight - 19)) < 1) c = Screen(c, theme::kIce * 0.8f);
    return c;
  });
  LightText(picture, type, "KALETH", {Face::SansBold, 11, 6}, kWidth - 60, kHeight - 5, theme::kIce, theme::kTeal, 2);
  return picture;
}

Picture MakeOpeningBackdrop(Typesetter& type) {
  constexpr float kHorizon = 214;
  Picture picture = Paint(kWidth, kHeight, [&](float, float v) { return Sky(v * kHeight, kHorizon); });
  ScatterStars(picture, 91, 260, 170);
  Planet(picture, 352, 118, 74, 92);
  // A ridge of mountains, nearer ones darker; below them a still lake mirrors the sky.
  for (int x = 0; x < kWidth; ++x) {
    const float u = static_cast<float>(x) / kWidth;
    const float far = kHorizon - 12 - 38 * TileFbm(u, 0.3f, 4, 5, 0.5f, 93);
    const float nearRidge = kHorizon + 4 - 26 * TileFbm(u, 0.7f, 3, 5, 0.55f, 94);
    for (int y = 0; y < kHeight; ++y) {
      Color& c = picture.at(x, y);
      if (y > kHorizon) {
        const float mirrored = 2 * kHorizon - y;
        const float ripple = 0.75f + 0.25f * std::sin(y * 1.7f + 3 * std::sin(u * 40));
        c = Sky(mirrored, kHorizon) * (0.45f * ripple);
      }
      if (y > far) c = Mix(c, Mix(theme::kIndigo, theme::kViolet, 0.3f) * 0.55f, 0.9f);
      if (y > nearRidge) c = theme::kNight;
    }
  }
  // The title rests on the dark lake, below the sky where the mesh tumbles.
  LightText(picture, type, "ORVALIS  PRESENTS", {Face::Sans, 12, 4}, 140, 226, theme::kIce * 0.8f, theme::kTeal, 2);
  LightText(picture, type, "KALETH", {Face::SerifBold, 44, 6}, 140, 268, theme::kIce, theme::kTeal, 6);
  return picture;
}

Picture MakeBlobFrame(Typesetter& type) {
  // The blobs win every channel where this is dark, so only the frame itself is lit.
  Picture picture(kWidth, kHeight, Color{});
  Mask lines(kWidth, kHeight), ornaments(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int edge = std::min({x, y, kWidth - 1 - x, kHeight - 1 - y});
      if (edge < 6) picture.at(x, y) = Mix(theme::kNight, theme::kIndigo, edge / 6.f);
      if (edge == 7 || edge == 10) lines.at(x, y) = edge == 7 ? 1.f : 0.5f;
      // Quarter rings in each corner.
      const float cx = x < kWidth / 2 ? 10.f : kWidth - 11.f, cy = y < kHeight / 2 ? 10.f : kHeight - 11.f;
      const float r = std::hypot(x - cx, y - cy);
      if (std::fabs(r - 26) < 1.2f || std::fabs(r - 32) < 0.8f) ornaments.at(x, y) = 1;
    }
  }
  Glow(picture, Blurred(lines, 2), theme::kTeal, 1.5f);
  Glow(picture, lines, theme::kTeal);
  Glow(picture, Blurred(ornaments, 2), theme::kAmber, 1.2f);
  Cover(picture, ornaments, theme::kGold);
  LightText(picture, type, "KALETH", {Face::SansBold, 10, 5}, 56, kHeight - 15, theme::kIce, theme::kTeal, 2);
  LightText(picture, type, "ORVALIS", {Face::SansBold, 10, 5}, kWidth - 58, kHeight - 15, theme::kIce, theme::kTeal, 2);
  return picture;
}

Picture MakeScrollerBackdrop(Typesetter& type) {
  // Only columns 320 to 511 are ever seen beside the scroller; the rest continues the sky.
  Picture picture = Paint(kWidth, kHeight, [](float u, float v) {
    Color c = theme::Dusk().Sample(0.05f + 0.3f * v);
    const float curtain = TileFbm(u * 2, v * 0.3f, 4, 4, 0.5f, 101);
    return Screen(c, theme::kTeal * (0.35f * SmoothStep(0.45f, 0.8f, curtain) * (1 - v)));
  });
  ScatterStars(picture, 102, 160, 280);
  Planet(picture, 470, 240, 90, 103);
  const std::string title = "KALETH";
  const TextStyle style{Face::SerifBold, 38, 0};
  for (std::size_t i = 0; i < title.size(); ++i)
    LightText(picture, type, std::string(1, title[i]), style, 408, 54 + static_cast<int>(i) * 41, theme::kIce,
              theme::kTeal, 5);
  return picture;
}

Picture MakeTunnelFrame(Typesetter& type, bool upper) {
  // A bevelled bar whose lit edge faces the tunnel between the two frames.
  Picture picture = Paint(kWidth, kFrameHeight, [upper](float u, float v) {
    const float towardTunnel = upper ? v : 1 - v;
    const float brushed = TileFbm(u * 4, v * 0.2f, 8, 3, 0.5f, upper ? 111 : 112);
    Color c = Mix(theme::kNight, theme::kIndigo, 0.3f + 0.9f * towardTunnel * (0.7f + 0.3f * brushed));
    const float y = v * kFrameHeight;
    const float lip = upper ? kFrameHeight - 4.f : 3.f;
    c = Screen(c, theme::kAmber * std::exp(-std::pow((y - lip) / 1.5f, 2.f)));
    c = Screen(c, theme::kTeal * (0.4f * std::exp(-std::pow((y - lip) / 5.f, 2.f))));
    return c;
  });
  Mask dots(kWidth, kFrameHeight);
  for (int i = 0; i < 24; ++i) {
    const int cx = 140 + i * 10, cy = upper ? 20 : 30;
    for (int y = cy - 2; y <= cy + 2; ++y)
      for (int x = cx - 2; x <= cx + 2; ++x)
        dots.at(x, y) = std::max(0.f, 1 - std::hypot(static_cast<float>(x - cx), static_cast<float>(y - cy)) / 2.5f) *
                        (0.3f + 0.7f * std::fabs(std::sin(i * 0.4f)));
  }
  Glow(picture, dots, theme::kTeal);
  LightText(picture, type, upper ? "KALETH" : "ORVALIS", {Face::SansBold, 16, 7}, upper ? 70 : kWidth - 72,
            upper ? 27 : 37, theme::kIce, theme::kTeal, 3);
  return picture;
}
