#include "platform/direct3d/pipeline/lighting.h"

#include <cmath>

namespace {

ColourRgb Rgb(const D3DCOLORVALUE& c) { return {c.r, c.g, c.b}; }

// Written so that a NaN, from a degenerate light or material, becomes 0.
float Clamp01(float v) { return v > 0 ? (v < 1 ? v : 1) : 0; }

}  // namespace

void PrepareLighting(const D3DMATERIAL& material, D3DCOLOR ambient, const std::vector<D3DLIGHT2>& lights,
                     const Matrix4& view, bool specularEnabled, LightingSetup* setup) {
  const float ambientR = static_cast<float>((ambient >> 16) & 0xFF) / 255.0f;
  const float ambientG = static_cast<float>((ambient >> 8) & 0xFF) / 255.0f;
  const float ambientB = static_cast<float>(ambient & 0xFF) / 255.0f;
  setup->base = {material.ambient.r * ambientR + material.emissive.r,
                 material.ambient.g * ambientG + material.emissive.g,
                 material.ambient.b * ambientB + material.emissive.b};
  setup->materialDiffuse = Rgb(material.diffuse);
  setup->materialSpecular = Rgb(material.specular);
  setup->power = material.power;
  // A power of zero or less gives no highlight at all on these devices.
  setup->specular = specularEnabled && material.power > 0;
  setup->lights.clear();
  for (const D3DLIGHT2& light : lights) {
    if ((light.dwFlags & D3DLIGHT_ACTIVE) == 0 || light.dltType != D3DLIGHT_POINT) continue;
    LightSource source;
    const Vec4 eye = TransformPoint({light.dvPosition.x, light.dvPosition.y, light.dvPosition.z}, view);
    source.position = {eye.x, eye.y, eye.z};
    // Before separate light colours existed, one colour served diffuse and specular.
    source.diffuse = Rgb(light.dcvColor);
    source.specular = (light.dwFlags & D3DLIGHT_NO_SPECULAR) ? ColourRgb{} : source.diffuse;
    source.range = light.dvRange;
    source.attenuation[0] = light.dvAttenuation0;
    source.attenuation[1] = light.dvAttenuation1;
    source.attenuation[2] = light.dvAttenuation2;
    setup->lights.push_back(source);
  }
}

LitColour LightVertex(const LightingSetup& setup, Vec3 p, Vec3 n) {
  ColourRgb diffuse, specular;
  // The eye sits at the origin of eye space and sees every vertex from where it stands.
  const Vec3 toEye = Normalised(p * -1.0f);
  for (const LightSource& light : setup.lights) {
    const Vec3 toLight = light.position - p;
    const float distance = Length(toLight);
    if (!(distance < light.range)) continue;
    // The older attenuation: a polynomial in the normalised distance left to the range, 1 at the
    // light and 0 at the range; not a reciprocal, and free to exceed 1 or go below 0.
    const float left = (light.range - distance) / light.range;
    const float attenuation = light.attenuation[0] + light.attenuation[1] * left + light.attenuation[2] * left * left;
    const Vec3 l = Normalised(toLight);
    const float nDotL = Dot(n, l);
    if (!(nDotL > 0)) continue;
    const float d = nDotL * attenuation;
    diffuse.r += d * light.diffuse.r;
    diffuse.g += d * light.diffuse.g;
    diffuse.b += d * light.diffuse.b;
    if (!setup.specular) continue;
    const float nDotH = Dot(n, Normalised(l + toEye));
    if (!(nDotH > 0)) continue;
    const float s = std::pow(nDotH, setup.power) * attenuation;
    specular.r += s * light.specular.r;
    specular.g += s * light.specular.g;
    specular.b += s * light.specular.b;
  }
  LitColour result;
  result.diffuse = {Clamp01(setup.base.r + setup.materialDiffuse.r * diffuse.r),
                    Clamp01(setup.base.g + setup.materialDiffuse.g * diffuse.g),
                    Clamp01(setup.base.b + setup.materialDiffuse.b * diffuse.b)};
  result.specular = {Clamp01(setup.materialSpecular.r * specular.r), Clamp01(setup.materialSpecular.g * specular.g),
                     Clamp01(setup.materialSpecular.b * specular.b)};
  return result;
}
