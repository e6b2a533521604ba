// The opening mesh: where it stands over time, what its set-up leaves on the device, the picture
// it draws over, the blend it draws with, and every message.
#include "scenes/d3d/mesh_scene.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/scenes/d3d/d3d_scene_test.h"

namespace {

using namespace d3d_test;

class MeshSceneTest : public D3DSceneTest {};

TEST(MeshPosition, SwaysThenDriftsRightAfterEightSeconds) {
  const MeshPosition start = MeshPositionAt(0);
  EXPECT_FLOAT_EQ(start.x, 90.0f);
  EXPECT_FLOAT_EQ(start.y, 30.0f);
  EXPECT_FLOAT_EQ(start.z, 600.0f);
  auto sway = [](double t) { return 70.0 * std::sin(t / 300.0) + 90.0; };
  EXPECT_FLOAT_EQ(MeshPositionAt(8000).x, static_cast<float>(sway(8000)));
  EXPECT_FLOAT_EQ(MeshPositionAt(8000).y, static_cast<float>(30.0 * std::cos(16.0)));
  EXPECT_FLOAT_EQ(MeshPositionAt(8001).x, static_cast<float>(sway(8001) + 1.0 / 3.0));
  EXPECT_FLOAT_EQ(MeshPositionAt(11000).x, static_cast<float>(sway(11000) + 1000.0));
  EXPECT_FLOAT_EQ(MeshPositionAt(11000).y, static_cast<float>(30.0 * std::cos(22.0)));
}

TEST_F(MeshSceneTest, SetUpMakesTheMaterialAndTheLightEveryLaterSceneIsLitWith) {
  OpenDevice();
  SetUpMeshScene();
  ASSERT_NE(SceneMaterial, nullptr);
  const D3DMATERIAL& m = SceneMaterial->Material();
  EXPECT_EQ(m.dwSize, 80u);
  for (const D3DCOLORVALUE& c : {m.diffuse, m.ambient, m.specular}) {
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b, 1.0f);
    EXPECT_EQ(c.a, 1.0f);
  }
  EXPECT_EQ(m.emissive.r + m.emissive.g + m.emissive.b + m.emissive.a, 0.0f);
  EXPECT_EQ(m.power, 10.0f);
  ASSERT_NE(SceneLight, nullptr);
  const D3DLIGHT2& l = SceneLight->Light();
  EXPECT_EQ(l.dwSize, 80u);
  EXPECT_EQ(l.dltType, D3DLIGHT_POINT);
  EXPECT_EQ(l.dvPosition.x, -50.0f);
  EXPECT_EQ(l.dvPosition.y, -50.0f);
  EXPECT_EQ(l.dvPosition.z, -1000.0f);
  EXPECT_FLOAT_EQ(l.dvRange, 1.8446743e19f);
  EXPECT_EQ(l.dvAttenuation0, 1.0f);
  EXPECT_EQ(l.dvAttenuation1, 0.0f);
  EXPECT_EQ(l.dwFlags, D3DLIGHT_ACTIVE);
  ASSERT_EQ(Viewport3D->Lights().size(), 1u);
  EXPECT_EQ(Viewport3D->Lights()[0], SceneLight);
  EXPECT_EQ(PictureAreaRect.x1, 0);
  EXPECT_EQ(PictureAreaRect.y1, 52);
  EXPECT_EQ(PictureAreaRect.x2, 512);
  EXPECT_EQ(PictureAreaRect.y2, 332);
  EXPECT_EQ(OpeningMesh.mesh.vertexCount, 12) << "four faces, three vertices each";
  EXPECT_TRUE(std::equal(background.begin(), background.end(), OpeningMesh.background));
}

// The projected centre of the mesh at t = 0: (90, 30) at camera z 590.
constexpr int kCentreColumn = 256 + static_cast<int>(256.0 * 180.0 / 590.0);
constexpr int kCentreRow = 192 - static_cast<int>(280.0 * 60.0 / 590.0);

TEST_F(MeshSceneTest, TheMeshIsDrawnOverTheBackgroundAndTheLetterboxStaysUntouched) {
  OpenDevice();
  SetUpDiamondScene();
  SetUpMeshScene();
  FillBackBuffer(0x123456);
  RenderMeshScene(0, canvas.data());
  EXPECT_TRUE(std::equal(background.begin(), background.end(), canvas.begin())) << "the canvas holds the picture";
  for (int y : {0, 51, 332, 383})
    for (int x = 0; x < 512; x += 37) ASSERT_EQ(BackPixel(x, y), 0x123456u) << x << "," << y;
  // Far from the mesh the picture shows unchanged; at its centre the mesh covers it.
  EXPECT_EQ(BackPixel(20, 60), background[8 * 512 + 20]);
  EXPECT_EQ(BackPixel(500, 320), background[268 * 512 + 500]);
  EXPECT_NE(BackPixel(kCentreColumn, kCentreRow), background[(kCentreRow - 52) * 512 + kCentreColumn]);
  // After the drift the mesh has left the picture on the right.
  RenderMeshScene(11000, canvas.data());
  for (int y = 52; y < 332; y += 3)
    for (int x = 0; x < 512; x += 3) ASSERT_EQ(BackPixel(x, y), background[(y - 52) * 512 + x]) << x << "," << y;
}

// The blend the diamond's set-up leaves: a covered pixel is s + background x s, where s is the
// mesh's own colour, the colour drawn with blending off.
TEST_F(MeshSceneTest, TheMeshBlendsOntoThePictureByItsOwnColour) {
  OpenDevice();
  SetUpDiamondScene();
  SetUpMeshScene();
  int covered = 0, differs = 0, firstDiffers = 0;
  for (std::uint32_t t : {400u, 0u, 900u, 1500u, 2600u}) {
    // The first frame draws with the blend the set-ups left; after it, blending is switched back.
    if (t != 400) Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    RenderMeshScene(t, canvas.data());
    std::vector<std::uint32_t> blended(512 * 280);
    for (int y = 0; y < 280; ++y)
      for (int x = 0; x < 512; ++x) blended[512 * y + x] = BackPixel(x, y + 52);
    Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    RenderMeshScene(t, canvas.data());
    for (int y = 0; y < 280; ++y) {
      for (int x = 0; x < 512; ++x) {
        const std::uint32_t s = BackPixel(x, y + 52), bg = background[512 * y + x];
        if (s == bg && blended[512 * y + x] == bg) continue;
        ++covered;
        differs += blended[512 * y + x] != s;
        firstDiffers += t == 400 && blended[512 * y + x] != s;
        for (int shift : {0, 8, 16}) {
          const int sc = (s >> shift) & 0xFF, bc = (bg >> shift) & 0xFF;
          const int want = std::min(255, sc + static_cast<int>(std::lround(sc * bc / 255.0)));
          ASSERT_NEAR(static_cast<int>((blended[512 * y + x] >> shift) & 0xFF), want, 1) << t << ": " << x << "," << y;
        }
      }
    }
  }
  EXPECT_GT(covered, 200);
  EXPECT_GT(differs, 100) << "the picture shows through the blend";
  EXPECT_GT(firstDiffers, 20) << "blending is on from the set-ups";
}

TEST_F(MeshSceneTest, EveryFailureHasItsMessage) {
  struct Case {
    const char* operation;
    const char* message;
    bool inRender;
  } cases[] = {
      {"IDirect3D3::CreateMaterial", "Unable to create material", false},
      {"IDirect3D3::CreateLight", "foutje", false},
      {"IDirect3DLight::SetLight", "Unable to set light", false},
      {"IDirect3DDevice3::BeginScene", "Unable to begin scene", true},
      {"IDirect3DDevice3::SetTexture", "Unable to set texture", true},
      {"IDirect3DDevice3::DrawPrimitive", "Unable to draw trianglestrip", true},
  };
  for (const Case& c : cases) {
    OpenDevice();
    if (c.inRender) SetUpMeshScene();
    faults::Fail(c.operation, faults::Calls(c.operation) + 1);
    EXPECT_EQ(FatalMessageOf([&] {
                if (c.inRender) {
                  RenderMeshScene(100, canvas.data());
                } else {
                  SetUpMeshScene();
                }
              }),
              c.message)
        << c.operation;
    faults::Reset();
    CloseDevice();
  }
  // Results the scene does not examine leave it running.
  OpenDevice();
  SetUpMeshScene();
  for (const char* ignored : {"IDirect3DViewport3::Clear", "IDirect3DDevice3::EndScene", "IDirect3DDevice3::SetRenderState"})
    faults::Fail(ignored, faults::Calls(ignored) + 1);
  EXPECT_EQ(FatalMessageOf([&] { RenderMeshScene(100, canvas.data()); }), "");
  for (const char* ignored : {"IDirect3DViewport3::Clear", "IDirect3DDevice3::EndScene", "IDirect3DDevice3::SetRenderState"})
    EXPECT_EQ(faults::Fired(ignored), 1u) << ignored;
}

}  // namespace
