#include "scenes/d3d/flare_scene.h"

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "scenes/d3d/blob_scene.h"
#include "scenes/d3d/mesh_scene.h"
#include "scenes/d3d/table_trig.h"
#include "scenes/d3d/twist_bar.h"
#include "scenes/d3d/wave_grid.h"
#include "scenes/soft/environment_blobs.h"

FlareSceneTextures FlareScene;
D3DVERTEX FlareQuad[4];

namespace {

void FillFlareQuad() {
  const float corners[4][4] = {{-0.1f, 0.1f, 0, 0}, {0.1f, 0.1f, 1, 0}, {-0.1f, -0.1f, 0, 1}, {0.1f, -0.1f, 1, 1}};
  for (int c = 0; c < 4; ++c) {
    D3DVERTEX& v = FlareQuad[c];
    v.x = corners[c][0];
    v.y = corners[c][1];
    v.z = 1.0f;
    v.nx = 0.0f;
    v.ny = 0.0f;
    v.nz = -1.0f;
    v.tu = corners[c][2];
    v.tv = corners[c][3];
  }
}

void DrawFlare(const SceneTexture& texture) {
  Device3D->SetTexture(0, texture.texture);
  Device3D->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, FlareQuad, 4, 0);
}

}  // namespace

std::uint32_t SecondFlareAngle(std::uint32_t t) { return ((t + 150) >> 2) & kTableMask; }

void SetUpFlareScene() {
  FlareScene.flare.load("flare.pcx");
  FlareScene.flare2.load("flare2.pcx");
  Bar.allocate();
  Bar.build();
  FillFlareQuad();
}

void RenderFlareScene(std::uint32_t t, std::uint32_t*) {
  Wave.animate(t);
  Wave.computeNormals();
  // The whole display is named, but the clear stays inside the viewport: the letterbox rows keep
  // what they hold.
  Viewport3D->Clear(1, &FullDisplayRect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
  Device3D->SetTexture(0, OpeningMesh.texture.texture);
  Device3D->BeginScene();
  Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  Device3D->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
  // The bar is drawn with the shape computed on the frame before; the new shape is for the next.
  Bar.draw(t, OpeningMesh.texture.texture);
  Bar.twist(t);
  Bar.computeNormals();
  Device3D->SetTexture(0, BlobScene.grid.texture);
  Wave.draw();

  // The flares lie on the near plane, over the bar and the grid; with the source factor at its
  // default of one, a flare pixel becomes lit texel + background x background.
  RotateWorld(0, 0, 0);
  TranslateWorld(static_cast<float>(-0.8 * TableSin(t / 4)), static_cast<float>(0.3 * TableCos(t / 4)), 10.0f);
  Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  Device3D->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR);
  Device3D->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
  DrawFlare(FlareScene.flare);
  const std::uint32_t k = SecondFlareAngle(t);
  TranslateWorld(static_cast<float>(-0.5 * SinTable[k]), static_cast<float>(0.2 * CosTable[k]), 10.0f);
  DrawFlare(FlareScene.flare2);
  Device3D->EndScene();
}

void CleanUpFlareScene() {}
