// Slot 2: a textured cube tumbling and wandering in front of the wave grid, bulged from inside
// by three invisible spheres and smoothly lit.
#pragma once

#include <cstdint>

#include "d3d/scene_texture.h"

struct BlobSceneTextures {
  SceneTexture cube;  // "texture3.pcx"
  SceneTexture grid;  // "vamp.pcx"; the twisting bar's scene draws its grid with it too
};

extern BlobSceneTextures BlobScene;

// The cube's and the wave grid's arrays and their textures; run first of all set-ups.
void SetUpBlobScene();
// The slot's render operation; the canvas is not used.
void RenderBlobScene(std::uint32_t elapsed, std::uint32_t* canvas);
