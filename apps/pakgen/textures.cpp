#include <algorithm>
#include <cmath>

#include "apps/pakgen/layers.h"
#include "apps/pakgen/noise.h"
#include "apps/pakgen/palette.h"
#include "apps/pakgen/pictures.h"

namespace {

constexpr int kSize = 256;

// Distance in u or v to the nearest multiple of 1/count, wrapping, in tile units.
float GridDistance(float t, int count) {
  const float s = t * count;
  return std::fabs(s - std::round(s)) / count;
}

}  // namespace

Picture MakeIceLattice() {
  return Paint(kSize, kSize, [](float u, float v) {
    float d1, d2;
    std::uint32_t id;
    // The cells are warped a little by noise so the cracks wander instead of running straight.
    const float wu = u + 0.03f * (TileFbm(u, v, 4, 3, 0.5f, 11) - 0.5f);
    const float wv = v + 0.03f * (TileFbm(u, v, 4, 3, 0.5f, 12) - 0.5f);
    TileCells(wu - std::floor(wu), wv - std::floor(wv), 6, 21, &d1, &d2, &id);
    const float grain = TileFbm(u, v, 8, 4, 0.5f, 13);
    const float shade = 0.18f + 0.42f * ((id & 0xff) / 255.f) * 0.5f + 0.35f * grain;
    Color c = theme::Cold().Sample(shade) * (0.65f + 0.45f * (1 - std::min(1.f, d1)));
    const float crack = 1 - SmoothStep(0.f, 0.10f, d2 - d1);
    const float halo = 1 - SmoothStep(0.f, 0.35f, d2 - d1);
    c = Screen(c, theme::kTeal * (0.5f * halo));
    return Screen(c, theme::kIce * crack);
  });
}

Picture MakeEmberFlow() {
  return Paint(kSize, kSize, [](float u, float v) {
    const float n = TileFbm(u, v, 4, 5, 0.55f, 31);
    // Integer frequencies keep every wave whole across the tile.
    const float waves = std::sin(kTau * (2 * u + 1.4f * n)) + std::sin(kTau * (3 * v + 1.1f * n)) +
                        std::sin(kTau * (u + v + 0.8f * n));
    const float bands = 0.5f + 0.5f * std::sin(2.2f * waves);
    Color c = theme::Warm().Sample(0.12f + 0.8f * bands * (0.55f + 0.45f * n));
    const float seam = 1 - SmoothStep(0.f, 0.12f, std::fabs(bands - 0.5f));
    return Screen(c, theme::kGold * (0.35f * seam));
  });
}

Picture MakeAuroraWeave() {
  return Paint(kSize, kSize, [](float u, float v) {
    const float n = TileFbm(u, v, 3, 5, 0.5f, 41);
    const float a = 0.5f + 0.5f * std::sin(kTau * (2 * v + 0.6f * std::sin(kTau * u) + 0.9f * n));
    const float b = 0.5f + 0.5f * std::sin(kTau * (3 * u - 0.5f * std::sin(kTau * 2 * v) + 0.7f * n));
    const float weave = a * 0.65f + b * 0.35f;
    Color c = theme::Dusk().Sample(0.1f + 0.75f * weave * weave);
    // Fine threads across the waves, like woven light.
    const float thread = 0.5f + 0.5f * std::sin(kTau * 32 * v + 3 * n);
    return c * (0.8f + 0.2f * thread);
  });
}

Picture MakeTiledFloor() {
  return Paint(kSize, kSize, [](float u, float v) {
    constexpr int kTiles = 4;
    const int tx = static_cast<int>(u * kTiles), ty = static_cast<int>(v * kTiles);
    const bool dark = ((tx + ty) & 1) != 0;
    const float marble = TileFbm(u, v, 4, 5, 0.55f, 51 + (dark ? 1 : 0));
    const float vein = 1 - SmoothStep(0.f, 0.04f, std::fabs(marble - 0.5f));
    Color c = dark ? Mix(theme::kNight, theme::kIndigo, 0.4f + 0.8f * marble)
                   : Mix(theme::kIndigo, theme::kTeal, 0.2f + 0.7f * marble);
    c = Screen(c, theme::kIce * (0.25f * vein));
    // Bevel: light from the top left edge of each tile, shadow on the bottom right.
    const float fx = u * kTiles - tx, fy = v * kTiles - ty;
    const float bevel = 0.06f;
    if (fx < bevel || fy < bevel) c = Screen(c, Grey(0.18f));
    if (fx > 1 - bevel || fy > 1 - bevel) c = c * 0.6f;
    const float seam = std::min(GridDistance(u, kTiles), GridDistance(v, kTiles));
    const float line = 1 - SmoothStep(0.002f, 0.008f, seam);
    const float glow = 1 - SmoothStep(0.f, 0.03f, seam);
    c = Screen(c, theme::kAmber * (0.35f * glow));
    return Mix(c, theme::kGold, line);
  });
}

Picture MakeCubePanel(Typesetter& type) {
  Picture picture = Paint(kSize, kSize, [](float u, float v) {
    const float n = TileFbm(u, v, 4, 5, 0.5f, 61);
    const float du = std::min(u, 1 - u), dv = std::min(v, 1 - v), edge = std::min(du, dv);
    Color c = Mix(theme::kNight, theme::kIndigo, 0.6f + 0.6f * n);
    // A gold border bevelled towards the light; an inner hairline in teal.
    if (edge < 0.055f) {
      const float lit = (u < v ? 1.f : 0.7f) * (u + v < 1 ? 1.f : 0.75f);
      c = Mix(theme::kAmber, theme::kGold, n) * lit;
    } else if (edge < 0.07f) {
      c = c * 0.5f;
    }
    const float hair = 1 - SmoothStep(0.f, 0.004f, std::fabs(edge - 0.1f));
    c = Screen(c, theme::kTeal * hair);
    // Concentric rings round the centre, fading outward.
    const float r = std::hypot(u - 0.5f, v - 0.5f);
    const float rings = 1 - SmoothStep(0.f, 0.006f, std::fabs(r - 0.3f)) +
                        0.7f * (1 - SmoothStep(0.f, 0.004f, std::fabs(r - 0.33f)));
    return Screen(c, theme::kGold * std::min(1.f, rings));
  });
  Mask sigil(kSize, kSize);
  const TextStyle style{Face::SerifBold, 150, 0};
  type.DrawCentred(sigil, "O", style, kSize / 2, kSize / 2 + type.CapHeight(style) / 2);
  Glow(picture, Blurred(sigil, 6), theme::kTeal, 0.9f);
  Cover(picture, sigil, theme::kIce);
  return picture;
}

Picture MakeNebula() {
  Picture picture = Paint(kSize, kSize, [](float u, float v) {
    const float cloud = TileFbm(u, v, 2, 6, 0.55f, 71);
    const float wisp = TileFbm(u + 0.3f * cloud, v, 3, 5, 0.6f, 72);
    const float t = SmoothStep(0.3f, 0.75f, cloud);
    Color c = theme::Dusk().Sample(0.08f + 0.75f * t * wisp * 1.3f);
    return Screen(c, theme::kEmber * (0.25f * SmoothStep(0.6f, 0.85f, wisp)));
  });
  Scatter stars(73);
  for (int i = 0; i < 140; ++i) {
    const int x = static_cast<int>(stars.unit() * kSize), y = static_cast<int>(stars.unit() * kSize);
    const float level = 0.3f + 0.7f * stars.unit() * stars.unit();
    picture.at(x, y) = Screen(picture.at(x, y), Grey(level));
  }
  return picture;
}

Picture MakeGildedScales() {
  // Round scales in rows half a scale apart, each row lying over the one below it: a serpent's
  // skin. The knot stretches u about fourteen times more than v, so thirty-two scales across and
  // four down come out only a little longer than wide on the mesh, and the count keeps it tiling.
  constexpr int kAcross = 32, kDown = 4;
  return Paint(kSize, kSize, [](float u, float v) {
    const float x = u * kAcross, y = v * kDown;
    const int first = static_cast<int>(std::floor(2 * y)) - 2;
    for (int row = first; row <= first + 3; ++row) {
      const float shift = (row & 1) ? 0.5f : 0.f, cy = row * 0.5f;
      const float cx = std::round(x - shift) + shift;
      const float d = std::hypot(x - cx, y - cy) / 0.5f;
      if (d >= 1) continue;
      // The first row that covers the pixel lies on top: shade its visible lower part from the
      // shadow where it tucks under the row above to the light on its rim.
      const int column = ((static_cast<int>(std::floor(cx)) % kAcross) + kAcross) % kAcross;
      const int wrappedRow = ((row % (2 * kDown)) + 2 * kDown) % (2 * kDown);
      const float tint = HashUnit(column, wrappedRow, 83);
      const float lower = std::clamp((y - cy) / 0.5f, 0.f, 1.f);
      Color metal = Mix(theme::kAmber * 0.45f, theme::kGold, 0.25f + 0.65f * lower + 0.1f * tint);
      if (tint > 0.96f) metal = Mix(metal, theme::kTeal, 0.6f);
      const float ridge = 1 - SmoothStep(0.f, 0.06f, std::fabs(d - 0.72f));
      metal = Screen(metal, Grey(0.3f * ridge * lower));
      return Mix(metal, theme::kNight * 2.f, SmoothStep(0.86f, 1.f, d));
    }
    return theme::kNight;
  });
}
