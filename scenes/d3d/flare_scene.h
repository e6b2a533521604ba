// Slots 5, 7 and 9: the twisting bar circling in front of the wave grid, with two glowing square
// sprites floating close to the eye, blended over the picture.
#pragma once

#include <cstdint>

#include "d3d/scene_texture.h"
#include "platform/direct3d/d3d.h"

struct FlareSceneTextures {
  SceneTexture flare;   // "flare.pcx"
  SceneTexture flare2;  // "flare2.pcx"
};

extern FlareSceneTextures FlareScene;
// A 0.2 by 0.2 square at z = 1 facing the eye, drawn as a four-vertex strip.
extern D3DVERTEX FlareQuad[4];

// The flare textures, the bar's arrays and the sprite; tenth of the set-ups.
void SetUpFlareScene();
// The render operation of the three slots; the canvas is not used.
void RenderFlareScene(std::uint32_t elapsed, std::uint32_t* canvas);
// Everything the scene holds stays until the process ends.
void CleanUpFlareScene();

// The table angle of the second flare at time t: its phase runs 150 ms ahead of the first's.
std::uint32_t SecondFlareAngle(std::uint32_t t);
