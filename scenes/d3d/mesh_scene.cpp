#include "scenes/d3d/mesh_scene.h"

#include <cmath>
#include <cstring>

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "data/mesh3ds.h"
#include "data/raw_loaders.h"
#include "display/present.h"
#include "core/canvas.h"
#include "core/errors.h"

IDirect3DMaterial3* SceneMaterial = nullptr;
IDirect3DLight* SceneLight = nullptr;
D3DRECT PictureAreaRect{};
MeshScene OpeningMesh;

namespace {

constexpr D3DCOLORVALUE kWhite{{1.0f}, {1.0f}, {1.0f}, {1.0f}};

D3DMATERIAL SceneMaterialRecord() {
  D3DMATERIAL record{};
  record.dwSize = sizeof(D3DMATERIAL);
  record.diffuse = kWhite;
  record.ambient = kWhite;
  record.specular = kWhite;
  record.power = 10.0f;
  return record;
}

// A white point light behind the eye, a little to the left and below, that never fades.
D3DLIGHT2 SceneLightRecord() {
  D3DLIGHT2 record{};
  record.dwSize = sizeof(D3DLIGHT2);
  record.dltType = D3DLIGHT_POINT;
  record.dcvColor = kWhite;
  record.dvPosition.x = -50.0f;
  record.dvPosition.y = -50.0f;
  record.dvPosition.z = -1000.0f;
  record.dvRange = D3DLIGHT_RANGE_MAX;
  record.dvAttenuation0 = 1.0f;
  record.dwFlags = D3DLIGHT_ACTIVE;
  return record;
}

void CreateSceneMaterial() {
  if (Direct3DInterface->CreateMaterial(&SceneMaterial, nullptr) < 0) FatalError("Unable to create material");
  D3DMATERIAL record = SceneMaterialRecord();
  SceneMaterial->SetMaterial(&record);
  // The device keeps this material for every later scene.
  D3DMATERIALHANDLE handle = 0;
  SceneMaterial->GetHandle(Device3D, &handle);
  Device3D->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
}

void CreateSceneLight() {
  if (Direct3DInterface->CreateLight(&SceneLight, nullptr) < 0) FatalError("foutje");
  D3DLIGHT2 record = SceneLightRecord();
  if (SceneLight->SetLight(reinterpret_cast<D3DLIGHT*>(&record)) < 0) FatalError("Unable to set light");
  // Attached once, the light stays on the viewport for every later scene.
  Viewport3D->AddLight(SceneLight);
}

}  // namespace

MeshPosition MeshPositionAt(std::uint32_t elapsed) {
  const double t = static_cast<double>(elapsed);
  double x = 70.0 * std::sin(t * 0.0033333333333333335) + 90.0;
  if (elapsed > 8000) x += (t - 8000.0) * 0.3333333333333333;
  const double y = 30.0 * std::cos(t * 0.002);
  return {static_cast<float>(x), static_cast<float>(y), 600.0f};
}

void SetUpMeshScene() {
  {
    Mesh3ds source;
    source.load("object3.3ds");
    OpeningMesh.mesh.build(source);
  }
  OpeningMesh.texture.load("texture8.pcx");
  CreateSceneMaterial();
  Device3D->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);
  CreateSceneLight();
  OpeningMesh.background = LoadRgbRawScreen("overlay2.raw");
  PictureAreaRect.x1 = 0;
  PictureAreaRect.y1 = kPictureTop;
  PictureAreaRect.x2 = kCanvasWidth;
  PictureAreaRect.y2 = kPictureTop + kCanvasHeight;
}

void RenderMeshScene(std::uint32_t elapsed, std::uint32_t* canvas) {
  std::memcpy(canvas, OpeningMesh.background, kCanvasBytes);
  CopyCanvas();
  RotateWorld(static_cast<TurnUnits>(elapsed / 5), static_cast<TurnUnits>(elapsed / 2),
              static_cast<TurnUnits>(elapsed / 3));
  Device3D->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
  const MeshPosition at = MeshPositionAt(elapsed);
  TranslateWorld(at.x, at.y, at.z);
  // Depth only: the picture copied above stays as the background.
  Viewport3D->Clear(1, &PictureAreaRect, D3DCLEAR_ZBUFFER);
  if (Device3D->BeginScene() < 0) FatalError("Unable to begin scene");
  if (Device3D->SetTexture(0, OpeningMesh.texture.texture) < 0) FatalError("Unable to set texture");
  if (Device3D->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, OpeningMesh.mesh.vertices,
                              static_cast<DWORD>(OpeningMesh.mesh.vertexCount), 0) < 0) {
    FatalError("Unable to draw trianglestrip");
  }
  Device3D->EndScene();
}

void CleanUpMeshScene() {}
