// Slot 4: a flat textured square standing on a corner, turning about the line of sight once a
// second and filling the whole picture area; on the beats of instrument 16 (BeatFlagB set) the
// frame goes to the floor-and-ceiling planes instead.
#pragma once

#include <cstdint>

#include "d3d/scene_texture.h"
#include "platform/direct3d/d3d.h"

inline constexpr int kDiamondVertices = 6;

struct DiamondScene {
  SceneTexture texture;
  D3DVERTEX vertices[kDiamondVertices];
};

extern DiamondScene Diamond;

// Run once by SetUpScenes: also switches blending on with the destination weighed by the source
// colour, the blend the opening mesh draws with, and sets the transforms.
void SetUpDiamondScene();
// The slot's render operation.
void RenderDiamondScene(std::uint32_t elapsed, std::uint32_t* canvas);
