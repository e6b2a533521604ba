// Every picture of the production, painted from code. Textures are 256 × 256 and wrap without a
// seam where their scenes tile them; screens are 512 × 280; frames 512 × 50.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "tools/common/picture.h"
#include "tools/drawing/typesetter.h"

inline constexpr float kTau = 6.28318530717958647692f;

// Paints a picture by calling shade(u, v) for every pixel, with u = x / width and v = y / height,
// so functions with period 1 in u and v give pictures that tile.
template <typename Shade>
Picture Paint(int width, int height, Shade shade) {
  Picture picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.at(x, y) = shade(static_cast<float>(x) / width, static_cast<float>(y) / height);
  return picture;
}

inline float SmoothStep(float edge0, float edge1, float x) {
  const float t = std::fmin(1.f, std::fmax(0.f, (x - edge0) / (edge1 - edge0)));
  return t * t * (3 - 2 * t);
}

// Textures (textures.cpp).
Picture MakeIceLattice();     // texture1: cold cells with glowing cracks
Picture MakeEmberFlow();      // texture5: warm flowing bands
Picture MakeAuroraWeave();    // texture6: cold woven waves
Picture MakeTiledFloor();     // texture7: bevelled tiles with amber seams
Picture MakeCubePanel(Typesetter& type);  // texture3: a bevelled panel with the group's sigil
Picture MakeNebula();         // vamp: a violet and teal cloudscape with stars
Picture MakeGildedScales();   // texture8: overlapping gold scales

// Lights (lights.cpp).
Picture MakeEnvironmentMap();  // env1: dark far corner, lit highlight at the near corner
Picture MakeStarFlare();       // flare: amber star with rays on black
Picture MakeRingFlare();       // flare2: teal halo on black

// Screens and frames (screens.cpp).
Picture MakeLoadingScreen(Typesetter& type);  // load: grey title picture
Picture MakeWarpOverlay(Typesetter& type);    // overlay1
Picture MakeOpeningBackdrop(Typesetter& type);  // overlay2
Picture MakeBlobFrame(Typesetter& type);      // overlay3
Picture MakeScrollerBackdrop(Typesetter& type);  // overlay4
Picture MakeTunnelFrame(Typesetter& type, bool upper);  // upperframe / lowerframe

// Lettering (lettering.cpp).
std::vector<Picture> MakeGreetings(Typesetter& type);  // greet1..9 on black
std::vector<Picture> MakeMessages(Typesetter& type);   // text1..6, white on black, 200 × 80
Picture MakeCredits(Typesetter& type);                 // scroll, 320 × 1120 grey

// The invented names the greetings and credits share.
const std::vector<std::string>& GreetedGroups();
