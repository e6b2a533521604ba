// The third stage's arithmetic: per-vertex lighting with the active material, the ambient light
// state and the point lights of the current viewport, in eye space, with the attenuation and
// specular rules of the older devices.
#pragma once

#include <vector>

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/pipeline/matrix.h"

struct ColourRgb {
  float r = 0, g = 0, b = 0;
};

struct LightSource {
  Vec3 position;  // eye space
  ColourRgb diffuse;
  ColourRgb specular;  // zero for a light without specular
  float range = 0;
  float attenuation[3] = {0, 0, 0};
};

struct LightingSetup {
  ColourRgb base;  // material ambient times the ambient level, plus the material emissive
  ColourRgb materialDiffuse;
  ColourRgb materialSpecular;
  float power = 0;
  bool specular = false;  // specular highlights enabled
  std::vector<LightSource> lights;
};

// Gathers what lighting needs for one draw. Lights are given in world space and taken to eye
// space with the view; inactive lights and light types the device does not draw are left out.
void PrepareLighting(const D3DMATERIAL& material, D3DCOLOR ambient, const std::vector<D3DLIGHT2>& lights,
                     const Matrix4& view, bool specularEnabled, LightingSetup* setup);

struct LitColour {
  ColourRgb diffuse;   // clamped to [0, 1]
  ColourRgb specular;  // clamped to [0, 1]; zero unless specular is enabled
};

// Lights a vertex at eye-space position p with the unit normal n (a zero normal gets no light
// from the lights, only the base colour).
LitColour LightVertex(const LightingSetup& setup, Vec3 p, Vec3 n);
