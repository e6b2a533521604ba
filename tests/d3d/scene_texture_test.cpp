// PCX members turned into textures: the surface they get, their texels at any row pitch, and
// every message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "d3d/device3d.h"
#include "d3d/scene_texture.h"
#include "display/display.h"
#include "runtime/entry.h"
#include "tests/support/data_files.h"
#include "tests/support/started_device.h"
#include "tools/common/pcx_writer.h"

namespace {

class SceneTextureTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    picture.resize(256 * 256);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    picture[0] = 0x112233;
    OpenMembers({{"tex.pcx", EncodePcx(picture.data(), 256, 256)}});
  }
  void TearDown() override {
    CloseDevice();
    PackageTest::TearDown();
  }

  // Gives back the textures, the 3D objects the program keeps for its whole run, and the display.
  void CloseDevice() {
    for (SceneTexture* t : {&first, &second}) {
      if (t->texture) t->texture->Release();
      t->texture = nullptr;
    }
    StopDisplayAndDevice();
  }

  void OpenDevice() { StartDisplayAndDevice(); }

  // The texel at (x, y) as the texture's surface holds it, alpha included.
  static std::uint32_t TexelOf(const SceneTexture& t, int x, int y) {
    IDirectDrawSurface4* surface = t.texture->Surface();
    std::uint32_t v;
    std::memcpy(&v, surface->Pixels() + y * surface->Pitch() + 4 * x, 4);
    return v;
  }

  std::vector<std::uint32_t> picture;
  SceneTexture first, second;
};

TEST_F(SceneTextureTest, ATextureIsA256SquareThirtyTwoBitSurfaceWithAlphaHoldingThePicture) {
  OpenDevice();
  first.load("tex.pcx");
  ASSERT_NE(first.texture, nullptr);
  IDirectDrawSurface4* surface = first.texture->Surface();
  EXPECT_EQ(surface->Width(), 256);
  EXPECT_EQ(surface->Height(), 256);
  EXPECT_EQ(surface->Caps(), DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY);
  const DDPIXELFORMAT& format = surface->Format();
  EXPECT_EQ(format.dwSize, 32u);
  EXPECT_EQ(format.dwFlags, DDPF_RGB | DDPF_ALPHAPIXELS);
  EXPECT_EQ(format.dwRGBBitCount, 32u);
  EXPECT_EQ(format.dwRBitMask, 0xFF0000u);
  EXPECT_EQ(format.dwGBitMask, 0xFF00u);
  EXPECT_EQ(format.dwBBitMask, 0xFFu);
  EXPECT_EQ(format.dwRGBAlphaBitMask, 0xFF000000u);
  EXPECT_EQ(TexelOf(first, 0, 0), 0x00112233u) << "red, green and blue kept, alpha 0";
  for (int y = 0; y < 256; y += 17)
    for (int x = 0; x < 256; x += 13) ASSERT_EQ(TexelOf(first, x, y), picture[y * 256 + x]) << x << "," << y;
  // The device takes it.
  EXPECT_EQ(Device3D->SetTexture(0, first.texture), D3D_OK);
}

TEST_F(SceneTextureTest, PaddedRowsTakeThePictureIntact) {
  DirectDrawSettings().pitchPadding = 52;
  OpenDevice();
  first.load("tex.pcx");
  ASSERT_EQ(first.texture->Surface()->Pitch(), 1024 + 52);
  for (int y = 0; y < 256; ++y) ASSERT_EQ(TexelOf(first, 255, y), picture[y * 256 + 255]) << y;
}

TEST_F(SceneTextureTest, LoadingTheSameMemberTwiceMakesTwoIndependentTextures) {
  OpenDevice();
  first.load("tex.pcx");
  second.load("tex.pcx");
  ASSERT_NE(first.texture->Surface(), second.texture->Surface());
  first.texture->Surface()->Pixels()[0] = 0x99;
  EXPECT_EQ(TexelOf(second, 0, 0), 0x00112233u);
}

TEST_F(SceneTextureTest, EveryFailureHasItsMessage) {
  struct Case {
    const char* operation;
    const char* message;
  } cases[] = {
      {"IDirectDraw4::CreateSurface", "Unable to create texture\n"},
      {"IDirectDrawSurface4::Lock", "Couldn`t load texture surface"},
      {"IDirectDrawSurface4::QueryInterface", "Unable to query texture interface"},
  };
  for (const Case& c : cases) {
    OpenDevice();
    faults::Fail(c.operation, faults::Calls(c.operation) + 1);
    EXPECT_EQ(FatalMessageOf([&] { first.load("tex.pcx"); }), c.message) << c.operation;
    EXPECT_EQ(first.texture, nullptr);
    EXPECT_EQ(DisplayInterface, nullptr) << "the display goes before the box";
    CloseDevice();
  }
  // A missing member fails inside the picture reader, with its own messages.
  OpenDevice();
  EXPECT_EQ(FatalMessageOf([&] { first.load("missing.pcx"); }), "missing.pcx");
}

}  // namespace
