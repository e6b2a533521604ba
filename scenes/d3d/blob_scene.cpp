#include "scenes/d3d/blob_scene.h"

#include "d3d/device3d.h"
#include "scenes/d3d/blob_cube.h"
#include "scenes/d3d/mesh_scene.h"
#include "scenes/d3d/wave_grid.h"

BlobSceneTextures BlobScene;

void SetUpBlobScene() {
  Cube.allocate();
  Cube.build();
  Cube.buildIndices();
  BlobScene.cube.load("texture3.pcx");
  Wave.allocate();
  Wave.build();
  Wave.buildIndices();
  BlobScene.grid.load("vamp.pcx");
}

void RenderBlobScene(std::uint32_t elapsed, std::uint32_t*) {
  Wave.animate(elapsed);
  Wave.computeNormals();
  Cube.deform(elapsed);
  Cube.computeNormals();
  // Blending stays off from here until the twisting bar's flares switch it on again.
  Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  // No background material is ever set, so the colour clears to black; depth to far.
  Viewport3D->Clear(1, &PictureAreaRect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
  Device3D->BeginScene();
  Device3D->SetTexture(0, BlobScene.grid.texture);
  Wave.draw();
  Device3D->SetTexture(0, BlobScene.cube.texture);
  Cube.draw(elapsed);
  Device3D->EndScene();
}
