#include "tests/scenes/d3d/bulge_flare_fixture.h"

#include <cstring>

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "display/display.h"
#include "runtime/entry.h"
#include "core/tables.h"
#include "scenes/d3d/blob_scene.h"
#include "scenes/d3d/flare_scene.h"
#include "scenes/d3d/mesh_scene.h"
#include "scenes/soft/environment_blobs.h"
#include "tests/support/started_device.h"
#include "tools/common/pcx_writer.h"

namespace bulge_flare {

namespace {

PakMember SolidPcx(const char* name, std::uint32_t texel) {
  const std::vector<std::uint32_t> pixels(256 * 256, texel);
  return {name, EncodePcx(pixels.data(), 256, 256)};
}

// The scenes keep their textures to the end of the run, and a run played earlier in this process
// left its own (they outlive its display): each test starts from none and gives back what it made.
void ReleaseSceneTextures() {
  for (SceneTexture* t : {&BlobScene.cube, &BlobScene.grid, &FlareScene.flare, &FlareScene.flare2,
                          &OpeningMesh.texture}) {
    if (t->texture) t->texture->Release();
    t->texture = nullptr;
  }
}

}  // namespace

void BulgeFlareSceneTest::SetUp() {
  PackageTest::SetUp();
  ReleaseSceneTextures();
  BuildTables();
  OpenMembers({SolidPcx("texture3.pcx", kCubeTexel), SolidPcx("vamp.pcx", kGridTexel),
               SolidPcx("flare.pcx", kFlareTexel), SolidPcx("flare2.pcx", kFlare2Texel),
               SolidPcx("texture8.pcx", kBarTexel), SolidPcx("texture1.pcx", kCubeTexel)});
}

void BulgeFlareSceneTest::TearDown() {
  CloseDevice();
  FreeTables();
  PackageTest::TearDown();
}

void BulgeFlareSceneTest::OpenDevice() {
  StartDisplayAndDevice();
  InitTransforms();

  ASSERT_EQ(Direct3DInterface->CreateMaterial(&material_, nullptr), D3D_OK);
  D3DMATERIAL material{};
  material.dwSize = sizeof(material);
  material.diffuse = material.ambient = material.specular = {{1.0f}, {1.0f}, {1.0f}, {1.0f}};
  material.power = 10.0f;
  material_->SetMaterial(&material);
  D3DMATERIALHANDLE handle = 0;
  material_->GetHandle(Device3D, &handle);
  Device3D->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
  Device3D->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);
  ASSERT_EQ(Direct3DInterface->CreateLight(&light_, nullptr), D3D_OK);
  D3DLIGHT2 light{};
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_POINT;
  light.dcvColor = {{1.0f}, {1.0f}, {1.0f}, {1.0f}};
  light.dvPosition = {{-50.0f}, {-50.0f}, {-1000.0f}};
  light.dvRange = D3DLIGHT_RANGE_MAX;
  light.dvAttenuation0 = 1.0f;
  light.dwFlags = D3DLIGHT_ACTIVE;
  ASSERT_EQ(light_->SetLight(reinterpret_cast<D3DLIGHT*>(&light)), D3D_OK);
  Viewport3D->AddLight(light_);

  PictureAreaRect = {{0}, {52}, {512}, {332}};
  FullDisplayRect = {{0}, {0}, {512}, {384}};
}

void BulgeFlareSceneTest::CloseDevice() {
  ReleaseSceneTextures();
  if (light_) light_->Release();
  light_ = nullptr;
  if (material_) material_->Release();
  material_ = nullptr;
  StopDisplayAndDevice();
}

std::vector<std::uint32_t> BulgeFlareSceneTest::Screen() const {
  std::vector<std::uint32_t> frame(512 * 384);
  for (int y = 0; y < 384; ++y) {
    const std::uint8_t* row = BackBuffer->Pixels() + y * BackBuffer->Pitch();
    for (int x = 0; x < 512; ++x) {
      std::uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      frame[y * 512 + x] = v & 0xFFFFFF;
    }
  }
  return frame;
}

void BulgeFlareSceneTest::Paint(std::uint32_t colour) {
  for (int y = 0; y < 384; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(BackBuffer->Pixels() + y * BackBuffer->Pitch());
    for (int x = 0; x < 512; ++x) row[x] = colour;
  }
}

}  // namespace bulge_flare
