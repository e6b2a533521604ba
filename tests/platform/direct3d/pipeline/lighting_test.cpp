// Per-vertex lighting against the formulas worked by hand: ambient, point-light diffuse with the
// older attenuation, the local-viewer specular highlight, and what gets no light.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/direct3d/pipeline/lighting.h"

namespace {

D3DMATERIAL Material(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient, D3DCOLORVALUE specular, float power,
                     D3DCOLORVALUE emissive = {}) {
  D3DMATERIAL m{};
  m.dwSize = sizeof(m);
  m.diffuse = diffuse;
  m.ambient = ambient;
  m.specular = specular;
  m.emissive = emissive;
  m.power = power;
  return m;
}

D3DLIGHT2 PointLight(Vec3 position, D3DCOLORVALUE colour, float range = D3DLIGHT_RANGE_MAX, float a0 = 1, float a1 = 0,
                     float a2 = 0, DWORD flags = D3DLIGHT_ACTIVE) {
  D3DLIGHT2 light{};
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_POINT;
  light.dcvColor = colour;
  light.dvPosition = D3DVECTOR{{position.x}, {position.y}, {position.z}};
  light.dvRange = range;
  light.dvAttenuation0 = a0;
  light.dvAttenuation1 = a1;
  light.dvAttenuation2 = a2;
  light.dwFlags = flags;
  return light;
}

const D3DCOLORVALUE kWhite{{1}, {1}, {1}, {1}};

LitColour Light(const D3DMATERIAL& material, D3DCOLOR ambient, const std::vector<D3DLIGHT2>& lights, Vec3 p, Vec3 n,
                bool specular = true, const Matrix4& view = IdentityMatrix()) {
  LightingSetup setup;
  PrepareLighting(material, ambient, lights, view, specular, &setup);
  return LightVertex(setup, p, n);
}

void ExpectColour(const ColourRgb& c, double r, double g, double b, const char* what) {
  EXPECT_NEAR(c.r, r, 1e-5) << what;
  EXPECT_NEAR(c.g, g, 1e-5) << what;
  EXPECT_NEAR(c.b, b, 1e-5) << what;
}

TEST(Lighting, AmbientOnlyIsTheMaterialAmbientTimesTheLevelPlusEmissive) {
  const D3DMATERIAL m = Material(kWhite, {{0.5f}, {0.25f}, {1.0f}, {1}}, kWhite, 10, {{0.1f}, {0}, {0}, {0}});
  const LitColour lit = Light(m, 0xFF804020, {}, {0, 0, 5}, {0, 0, -1});
  ExpectColour(lit.diffuse, 0.5 * 128 / 255 + 0.1, 0.25 * 64 / 255, 32.0 / 255, "ambient");
  ExpectColour(lit.specular, 0, 0, 0, "no light, no highlight");
  // The default level is 0: an unlit scene is black but for the emissive part.
  ExpectColour(Light(m, 0, {}, {0, 0, 5}, {0, 0, -1}).diffuse, 0.1, 0, 0, "level 0");
}

TEST(Lighting, PointLightDiffuseFollowsTheAngleAndTheColours) {
  const D3DMATERIAL m = Material({{1}, {0.5f}, {1}, {1}}, {}, {}, 10);
  // The light at the origin, the vertex at (3, 0, 4) facing -z: L = (-0.6, 0, -0.8), N.L = 0.8.
  const LitColour lit = Light(m, 0, {PointLight({0, 0, 0}, {{1}, {1}, {0.25f}, {1}})}, {3, 0, 4}, {0, 0, -1}, false);
  ExpectColour(lit.diffuse, 0.8, 0.4, 0.2, "diffuse");
  // A light in world space is seen through the view: moved with the camera, it lights the same.
  Matrix4 view = IdentityMatrix();
  view.m[3][2] = -10.0f;
  const LitColour moved =
      Light(m, 0, {PointLight({0, 0, 10}, {{1}, {1}, {0.25f}, {1}})}, {3, 0, 4}, {0, 0, -1}, false, view);
  ExpectColour(moved.diffuse, 0.8, 0.4, 0.2, "through the view");
}

TEST(Lighting, AttenuationIsAPolynomialInTheRangeLeftAndEndsAtTheRange) {
  const D3DMATERIAL m = Material(kWhite, {}, {}, 10);
  auto at = [&](float distance, float a0, float a1, float a2) {
    // Straight in front of the face: N.L = 1.
    return Light(m, 0, {PointLight({0, 0, 0}, kWhite, 10.0f, a0, a1, a2)}, {0, 0, distance}, {0, 0, -1}, false).diffuse.r;
  };
  EXPECT_NEAR(at(5.0f, 0, 1, 0), 0.5, 1e-6);    // halfway: (10 - 5) / 10
  EXPECT_NEAR(at(2.0f, 0, 1, 0), 0.8, 1e-6);
  EXPECT_NEAR(at(5.0f, 0, 0, 1), 0.25, 1e-6);   // the square of it
  EXPECT_NEAR(at(5.0f, 0.25f, 0.5f, 0), 0.5, 1e-6);
  EXPECT_EQ(at(10.0f, 1, 0, 0), 0.0f);           // at the range: none
  EXPECT_EQ(at(12.0f, 1, 0, 0), 0.0f);
  EXPECT_NEAR(at(9.99f, 1, 0, 0), 1.0, 1e-6);    // constant attenuation up to the range
}

TEST(Lighting, SpecularIsTheHalfwayPowerFromTheEyeWhenEnabled) {
  const D3DMATERIAL m = Material(kWhite, {}, {{1}, {0.5f}, {0.25f}, {1}}, 10);
  // The light at the eye, straight in front of the face: the halfway vector is the normal.
  ExpectColour(Light(m, 0, {PointLight({0, 0, 0}, kWhite)}, {0, 0, 10}, {0, 0, -1}).specular, 1, 0.5, 0.25, "head on");
  // The light off to the side: L = (0.7071, 0, -0.7071), V = (0, 0, -1), N.H = cos(22.5 degrees).
  const double highlight = std::pow(std::cos(3.14159265358979 / 8), 10);
  const LitColour side = Light(m, 0, {PointLight({10, 0, 0}, kWhite)}, {0, 0, 10}, {0, 0, -1});
  ExpectColour(side.specular, highlight, highlight * 0.5, highlight * 0.25, "to the side");
  ExpectColour(side.diffuse, std::sqrt(0.5), std::sqrt(0.5), std::sqrt(0.5), "diffuse beside it");
  // Switched off, without a power, or for a light without specular: no highlight, same diffuse.
  ExpectColour(Light(m, 0, {PointLight({10, 0, 0}, kWhite)}, {0, 0, 10}, {0, 0, -1}, false).specular, 0, 0, 0, "off");
  const D3DMATERIAL dull = Material(kWhite, {}, kWhite, 0);
  ExpectColour(Light(dull, 0, {PointLight({10, 0, 0}, kWhite)}, {0, 0, 10}, {0, 0, -1}).specular, 0, 0, 0, "power 0");
  const LitColour plain = Light(
      m, 0, {PointLight({10, 0, 0}, kWhite, D3DLIGHT_RANGE_MAX, 1, 0, 0, D3DLIGHT_ACTIVE | D3DLIGHT_NO_SPECULAR)},
      {0, 0, 10}, {0, 0, -1});
  ExpectColour(plain.specular, 0, 0, 0, "no specular");
  ExpectColour(plain.diffuse, std::sqrt(0.5), std::sqrt(0.5), std::sqrt(0.5), "diffuse without specular");
}

TEST(Lighting, NoLightBehindAFaceFromAnInactiveLightOrOnAZeroNormal) {
  const D3DMATERIAL m = Material(kWhite, kWhite, kWhite, 10);
  const D3DCOLOR grey = 0x00404040;
  const double base = 64.0 / 255;
  // The light behind the face.
  const LitColour behind = Light(m, grey, {PointLight({0, 0, 20}, kWhite)}, {0, 0, 10}, {0, 0, -1});
  ExpectColour(behind.diffuse, base, base, base, "behind");
  ExpectColour(behind.specular, 0, 0, 0, "behind");
  const LitColour inactive = Light(m, grey, {PointLight({0, 0, 0}, kWhite, D3DLIGHT_RANGE_MAX, 1, 0, 0, 0)},
                                   {0, 0, 10}, {0, 0, -1});
  ExpectColour(inactive.diffuse, base, base, base, "inactive");
  const LitColour flat = Light(m, grey, {PointLight({0, 0, 0}, kWhite)}, {0, 0, 10}, {0, 0, 0});
  ExpectColour(flat.diffuse, base, base, base, "zero normal");
  ExpectColour(flat.specular, 0, 0, 0, "zero normal");
}

TEST(Lighting, ColoursAreClampedAfterAllLights) {
  const D3DMATERIAL m = Material(kWhite, kWhite, kWhite, 1);
  const std::vector<D3DLIGHT2> two = {PointLight({0, 0, 0}, kWhite), PointLight({0, 0, 1}, kWhite)};
  const LitColour lit = Light(m, 0xFFFFFFFF, two, {0, 0, 10}, {0, 0, -1});
  ExpectColour(lit.diffuse, 1, 1, 1, "diffuse");
  ExpectColour(lit.specular, 1, 1, 1, "specular");
  // A negative attenuation takes light away, but never below zero.
  const LitColour dark =
      Light(m, 0, {PointLight({0, 0, 0}, kWhite, D3DLIGHT_RANGE_MAX, -2, 0, 0)}, {0, 0, 10}, {0, 0, -1}, false);
  ExpectColour(dark.diffuse, 0, 0, 0, "negative");
}

}  // namespace
