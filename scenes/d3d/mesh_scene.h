// Slot 0: a textured, lit mesh tumbling and swaying in front of a fixed picture, drifting off to
// the right after eight seconds. Its set-up also makes the one material and the one light every
// 3D scene is lit with.
#pragma once

#include <cstdint>

#include "d3d/scene_texture.h"
#include "data/mesh_triangle_list.h"
#include "platform/direct3d/d3d.h"

// Made by the set-up and kept by the device for every later 3D slot.
extern IDirect3DMaterial3* SceneMaterial;
extern IDirect3DLight* SceneLight;
// The picture area of the back buffer, rows 52 to 331.
extern D3DRECT PictureAreaRect;

struct MeshScene {
  MeshTriangleList mesh;
  SceneTexture texture;                // also drawn by the twisting bar's flares
  std::uint32_t* background = nullptr;  // 512 x 280, canvas layout
};

extern MeshScene OpeningMesh;

struct MeshPosition {
  float x, y, z;
};

// Where the mesh stands t ms into the slot.
MeshPosition MeshPositionAt(std::uint32_t elapsed);

// Run once by SetUpScenes, as the last of the set-ups.
void SetUpMeshScene();
// The slot's render operation.
void RenderMeshScene(std::uint32_t elapsed, std::uint32_t* canvas);
// Run by CleanUpScenes: everything the scene made stays until the process ends.
void CleanUpMeshScene();
