#include "scenes/d3d/diamond_scene.h"

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "display/present.h"
#include "music/beat_flags.h"
#include "core/canvas.h"
#include "core/errors.h"
#include "core/tables.h"
#include "scenes/soft/floor_and_ceiling.h"

DiamondScene Diamond;

namespace {

// Two triangles at z = 100 facing the eye, corners on the midpoints of the texture's edges, both
// clockwise on the screen so that culling keeps them at every angle.
D3DVERTEX DiamondVertex(float x, float y, float u, float v) {
  D3DVERTEX vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.z = 100.0f;
  vertex.nz = 1.0f;
  vertex.tu = u;
  vertex.tv = v;
  return vertex;
}

constexpr DWORD kWhiteAmbient = 0xFFFFFFFFu;

}  // namespace

void SetUpDiamondScene() {
  Diamond.texture.load("texture1.pcx");
  Diamond.vertices[0] = DiamondVertex(100.0f, 0.0f, 1.0f, 0.5f);
  Diamond.vertices[1] = DiamondVertex(-100.0f, 0.0f, 0.0f, 0.5f);
  Diamond.vertices[2] = DiamondVertex(0.0f, 100.0f, 0.5f, 0.0f);
  Diamond.vertices[3] = DiamondVertex(100.0f, 0.0f, 1.0f, 0.5f);
  Diamond.vertices[4] = DiamondVertex(0.0f, -100.0f, 0.5f, 1.0f);
  Diamond.vertices[5] = DiamondVertex(-100.0f, 0.0f, 0.0f, 0.5f);
  Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  Device3D->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_SRCCOLOR);
  InitTransforms();
}

void RenderDiamondScene(std::uint32_t elapsed, std::uint32_t* canvas) {
  if (BeatFlagB.load(std::memory_order_relaxed) != 0) {
    DrawFloorAndCeiling(elapsed, canvas);
    return;
  }
  RotateWorld(0, 0, -static_cast<TurnUnits>(elapsed & kTableMask));
  // The ambient level stays white for every later slot.
  if (Device3D->SetLightState(D3DLIGHTSTATE_AMBIENT, kWhiteAmbient) < 0) FatalError("Unable to set ambient light");
  // Depth only: the diamond covers every pixel of the picture area at every angle.
  D3DRECT area{{0}, {kPictureTop}, {kCanvasWidth}, {kPictureTop + kCanvasHeight}};
  Viewport3D->Clear(1, &area, D3DCLEAR_ZBUFFER);
  if (Device3D->BeginScene() < 0) FatalError("Unable to begin scene");
  if (Device3D->SetTexture(0, Diamond.texture.texture) < 0) FatalError("Unable to set texture");
  if (Device3D->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, Diamond.vertices, kDiamondVertices, 0) < 0) {
    FatalError("Unable to draw primitive");
  }
  Device3D->EndScene();
}
