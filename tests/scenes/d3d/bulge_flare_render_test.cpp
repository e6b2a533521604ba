// The bulging cube's and the twisting bar's scenes drawn on the device: what they read at
// set-up, what each frame covers and leaves alone, which device state they set and which they
// inherit, and their messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "d3d/device3d.h"
#include "scenes/d3d/blob_scene.h"
#include "scenes/d3d/flare_scene.h"
#include "scenes/d3d/mesh_scene.h"
#include "tests/scenes/d3d/bulge_flare_fixture.h"
#include "tests/support/package_reads.h"

namespace {

using bulge_flare::BulgeFlareSceneTest;
using Frame = std::vector<std::uint32_t>;

int Red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }

// How many pixels of the box (x0, y0)-(x1, y1) pass the test.
int Count(const Frame& frame, int x0, int y0, int x1, int y1, const std::function<bool(std::uint32_t)>& test) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += test(frame[y * 512 + x]);
  return n;
}

// Rows 52 to 331, the picture area.
Frame PictureArea(const Frame& frame) { return Frame(frame.begin() + 52 * 512, frame.begin() + 332 * 512); }

bool Reddish(std::uint32_t p) { return Red(p) > Blue(p) + 32; }
bool Bluish(std::uint32_t p) { return Blue(p) > Red(p) + 32; }
// The green bar, lit: its broad highlight bleaches it towards white, never towards red or blue.
bool LitBar(std::uint32_t p) { return Green(p) > 128 && Green(p) >= Red(p) && Green(p) >= Blue(p); }
bool Black(std::uint32_t p) { return p == 0; }

constexpr std::uint32_t kPaint = 0x5A5A5A;

class BlobSceneTest : public BulgeFlareSceneTest {
 protected:
  void SetUp() override {
    BulgeFlareSceneTest::SetUp();
    OpenDevice();
    SetUpBlobScene();
  }
};

TEST_F(BlobSceneTest, ACubeInFrontOfTheGridFillingThePictureAreaOnly) {
  Paint(kPaint);
  RenderBlobScene(0, nullptr);
  const Frame frame = Screen();
  EXPECT_EQ(Count(frame, 0, 0, 512, 52, [](std::uint32_t p) { return p != kPaint; }), 0) << "rows above untouched";
  EXPECT_EQ(Count(frame, 0, 332, 512, 384, [](std::uint32_t p) { return p != kPaint; }), 0) << "rows below";
  EXPECT_EQ(Count(frame, 0, 52, 512, 332, [](std::uint32_t p) { return p == kPaint || p == 0; }), 0)
      << "the grid covers the whole picture area";
  // At t = 0 the cube stands unturned at (0, 10, 100): around column 256, row 117.
  EXPECT_GT(Count(frame, 200, 80, 312, 160, Reddish), 4000);
  EXPECT_GT(Count(frame, 0, 280, 60, 332, Bluish), 2000);
  EXPECT_EQ(Count(frame, 0, 280, 60, 332, Reddish), 0);
}

TEST_F(BlobSceneTest, AFrameIsItsTimesAloneWhateverBlendingItInherits) {
  RenderBlobScene(7000, nullptr);
  const Frame first = PictureArea(Screen());
  RenderBlobScene(123, nullptr);
  EXPECT_NE(PictureArea(Screen()), first);
  // Blending on with the source colour as destination factor, as the set-ups leave it: the scene
  // switches it off itself.
  Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  Device3D->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_SRCCOLOR);
  Device3D->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
  Paint(0xFFFFFF);
  RenderBlobScene(7000, nullptr);
  EXPECT_EQ(PictureArea(Screen()), first);
}

TEST_F(BlobSceneTest, NoResultOfTheFrameIsChecked) {
  for (const char* operation :
       {"IDirect3DViewport3::Clear", "IDirect3DDevice3::BeginScene", "IDirect3DDevice3::SetTexture",
        "IDirect3DDevice3::SetRenderState", "IDirect3DDevice3::DrawIndexedPrimitiveStrided",
        "IDirect3DDevice3::EndScene"}) {
    faults::Fail(operation, faults::Calls(operation) + 1, 0);
    EXPECT_EQ(FatalMessageOf([] { RenderBlobScene(5001, nullptr); }), "") << operation;
    EXPECT_GT(faults::Fired(operation), 0u) << operation << " was never made to fail";
    faults::Reset();
  }
  EXPECT_TRUE(BoxTexts().empty());
}

class FlareSceneTest : public BulgeFlareSceneTest {
 protected:
  void SetUp() override {
    BulgeFlareSceneTest::SetUp();
    OpenDevice();
    SetUpBlobScene();
    SetUpFlareScene();
    OpeningMesh.texture.load("texture8.pcx");
  }
};

TEST_F(FlareSceneTest, TheSpriteIsASmallSquareOnTheNearPlaneFacingTheEye) {
  const float expected[4][4] = {{-0.1f, 0.1f, 0, 0}, {0.1f, 0.1f, 1, 0}, {-0.1f, -0.1f, 0, 1}, {0.1f, -0.1f, 1, 1}};
  for (int c = 0; c < 4; ++c) {
    const D3DVERTEX& v = FlareQuad[c];
    EXPECT_EQ(std::vector<float>({v.x, v.y, v.z, v.nx, v.ny, v.nz, v.tu, v.tv}),
              std::vector<float>({expected[c][0], expected[c][1], 1, 0, 0, -1, expected[c][2], expected[c][3]}))
        << c;
  }
}

TEST_F(FlareSceneTest, TheBarIsDrawnWithTheShapeOfTheFrameBefore) {
  // The very first frame draws the straight bar with zero normals: with no ambient light it is
  // an unlit silhouette across the lower middle; the next frame has it lit.
  Paint(kPaint);
  RenderFlareScene(0, nullptr);
  Frame frame = Screen();
  EXPECT_EQ(Count(frame, 0, 0, 512, 52, [](std::uint32_t p) { return p != kPaint; }), 0) << "rows above untouched";
  EXPECT_EQ(Count(frame, 0, 332, 512, 384, [](std::uint32_t p) { return p != kPaint; }), 0) << "rows below";
  EXPECT_GT(Count(frame, 0, 200, 512, 300, Black), 30000);
  EXPECT_EQ(Count(frame, 0, 200, 512, 300, LitBar), 0);
  RenderFlareScene(0, nullptr);
  frame = Screen();
  EXPECT_GT(Count(frame, 0, 200, 512, 300, LitBar), 30000);
  EXPECT_GT(Count(frame, 0, 52, 512, 150, Bluish), 10000) << "the grid above the bar";

  // The same time after different frames shows different bars.
  RenderFlareScene(471, nullptr);
  RenderFlareScene(1000, nullptr);
  const Frame afterTwisted = Screen();
  RenderFlareScene(0, nullptr);
  RenderFlareScene(1000, nullptr);
  EXPECT_NE(Screen(), afterTwisted);
  RenderFlareScene(471, nullptr);
  RenderFlareScene(1000, nullptr);
  EXPECT_EQ(Screen(), afterTwisted);
}

TEST_F(FlareSceneTest, AmbientLightIsInheritedTheBlendAndSpecularStatesAreSetEveryFrame) {
  RenderFlareScene(2000, nullptr);
  RenderFlareScene(2500, nullptr);
  const Frame plain = Screen();
  // Whatever blending and highlights the slot before left, the frame is the same.
  Device3D->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  Device3D->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
  Device3D->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
  RenderFlareScene(2000, nullptr);
  RenderFlareScene(2500, nullptr);
  EXPECT_EQ(Screen(), plain);
  // White ambient light, as the diamond leaves it, brightens the picture.
  Device3D->SetLightState(D3DLIGHTSTATE_AMBIENT, 0xFFFFFFFF);
  RenderFlareScene(2000, nullptr);
  RenderFlareScene(2500, nullptr);
  const Frame lit = Screen();
  EXPECT_NE(lit, plain);
  long brighter = 0;
  for (std::size_t i = 0; i < lit.size(); ++i) brighter += Green(lit[i]) > Green(plain[i]);
  EXPECT_GT(brighter, 10000);
}

TEST_F(FlareSceneTest, TheFlaresAddTheirTexelsToTheBackgroundSquared) {
  // At t = 0 the second flare stands at (-0.5 S(37), 0.2 C(37)) on the near plane; around
  // column 199, row 83, over the grid.
  RenderFlareScene(0, nullptr);
  RenderFlareScene(0, nullptr);
  const Frame frame = Screen();
  // Where only the grid and the second flare are, the grid's blue channel b becomes
  // lit texel + b * b / 255: more than the texel, and blue stays the largest channel.
  const std::uint32_t p = BulgeFlareSceneTest::At(frame, 199, 100);
  EXPECT_GE(Blue(p), Blue(bulge_flare::kFlare2Texel));
  EXPECT_GT(Blue(p), Red(p));
}

TEST_F(FlareSceneTest, OnlyTheBarsTextureIsChecked) {
  const std::string op = "IDirect3DDevice3::SetTexture";
  // The frame's first texture call is not checked.
  faults::Fail(op, faults::Calls(op) + 1);
  EXPECT_EQ(FatalMessageOf([] { RenderFlareScene(3000, nullptr); }), "");
  // The bar's is.
  faults::Fail(op, faults::Calls(op) + 2);
  EXPECT_EQ(FatalMessageOf([] { RenderFlareScene(3000, nullptr); }), "Unable to set texture");
  ASSERT_EQ(BoxTexts().size(), 1u);
}

TEST_F(FlareSceneTest, OtherFailuresOfTheFrameGoUnnoticed) {
  for (const char* operation :
       {"IDirect3DViewport3::Clear", "IDirect3DDevice3::BeginScene", "IDirect3DDevice3::SetRenderState",
        "IDirect3DDevice3::DrawIndexedPrimitiveStrided", "IDirect3DDevice3::DrawPrimitive",
        "IDirect3DDevice3::EndScene", "IDirect3DDevice3::GetTransform"}) {
    faults::Fail(operation, faults::Calls(operation) + 1, 0);
    EXPECT_EQ(FatalMessageOf([] { RenderFlareScene(4000, nullptr); }), "") << operation;
    EXPECT_GT(faults::Fired(operation), 0u) << operation << " was never made to fail";
    faults::Reset();
  }
}

class BulgeFlareSetUpTest : public BulgeFlareSceneTest {
 protected:
  void SetUp() override {
    BulgeFlareSceneTest::SetUp();
    OpenDevice();
  }
};

TEST_F(BulgeFlareSetUpTest, EachSetUpReadsItsTexturesInOrder) {
  package_reads::Start();
  SetUpBlobScene();
  SetUpFlareScene();
  package_reads::Stop();
  EXPECT_EQ(package_reads::Names(), std::vector<std::string>({"texture3.pcx", "vamp.pcx", "flare.pcx", "flare2.pcx"}));
  for (IDirect3DTexture2* t : {BlobScene.cube.texture, BlobScene.grid.texture, FlareScene.flare.texture,
                               FlareScene.flare2.texture}) {
    ASSERT_NE(t, nullptr);
  }
}

TEST_F(BulgeFlareSetUpTest, ATextureThatCannotBeMadeEndsTheRunWithItsMessage) {
  const std::string op = "IDirectDraw4::CreateSurface";
  faults::Fail(op, faults::Calls(op) + 2);
  EXPECT_EQ(FatalMessageOf([] { SetUpBlobScene(); }), "Unable to create texture\n");
  EXPECT_EQ(BlobScene.cube.texture != nullptr, true) << "the first texture was made";
  EXPECT_EQ(BlobScene.grid.texture, nullptr);
}

}  // namespace
