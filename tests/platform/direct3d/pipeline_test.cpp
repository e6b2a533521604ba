// The whole pipeline through the device: clipping at each plane, the near-plane sprites, blending
// at every target depth, filtering, perspective, and lighting from the viewport's lights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/direct3d/pipeline/pixel_operations.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "tests/support/headless.h"
#include "tests/support/soft_device.h"

namespace {

using PipelineTest = HeadlessTest;

// The fixed camera of the scenes (the eye at world z = 10 looking along +z, the near plane at camera
// z = 1, no far plane, the letterboxed viewport), drawing both windings.
void UseSceneCamera(SoftDevice& d) {
  ASSERT_EQ(d.UseSceneCamera(), D3D_OK);
  d.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
}

// A vertex given in camera space (the world is 10 units further along z).
D3DVERTEX Camera(float x, float y, float z, float u = 0, float v = 0) {
  D3DVERTEX vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.z = z + 10.0f;
  vertex.nz = -1.0f;
  vertex.tu = u;
  vertex.tv = v;
  return vertex;
}

void Paint(SoftDevice& d, std::uint8_t value) {
  std::memset(d.target->Pixels(), value, static_cast<std::size_t>(d.target->Pitch()) * static_cast<std::size_t>(d.Height()));
}

TEST_F(PipelineTest, ATriangleThroughTheNearPlaneDrawsOnlyWhatIsInFront) {
  SoftDevice d({512, 384, 32, 32});
  UseSceneCamera(d);
  d.Clear();
  // A floor at camera y = -0.1 from z = 0.5 (behind the near plane) to z = 5. A floor point at
  // depth z shows on row 192 + 56 / z: row 203 at z = 5, row 248 at the near plane, and rows
  // below 248 only for points behind it.
  ASSERT_EQ(d.Draw(D3DPT_TRIANGLELIST, {Camera(-0.05f, -0.1f, 0.5f), Camera(0.05f, -0.1f, 0.5f), Camera(0, -0.1f, 5)}),
            D3D_OK);
  EXPECT_EQ(d.Pixel(256, 240), 0xFFFFFFu);
  EXPECT_EQ(d.Pixel(256, 247), 0xFFFFFFu);
  for (int y = 249; y < 332; ++y) EXPECT_EQ(d.Pixel(256, y), 0u) << y;
  // The depths written are between the near plane's 0 and z = 5's 0.8.
  float nearest = 1.0f;
  for (int y = 52; y < 332; ++y) {
    float depth;
    std::memcpy(&depth, d.depth->Pixels() + y * d.depth->Pitch() + 4 * 256, 4);
    nearest = std::min(nearest, depth);
  }
  EXPECT_GE(nearest, 0.0f);
  EXPECT_LT(nearest, 0.02f);  // row 247 shows z = 56 / 55
}

TEST_F(PipelineTest, TheFarPlaneCutsWhatLiesBeyondIt) {
  SoftDevice d;
  d.Clear();
  // With no projection, z itself is the depth: from 0.5 at the left to 1.5 at the right, the
  // far plane z = 1 crosses at the middle column.
  ASSERT_EQ(d.Draw(D3DPT_TRIANGLELIST, {d.At(0, 0, 0.5f), d.At(64, 0, 1.5f), d.At(64, 64, 1.5f), d.At(0, 0, 0.5f),
                                        d.At(64, 64, 1.5f), d.At(0, 64, 0.5f)}),
            D3D_OK);
  EXPECT_EQ(d.Pixel(30, 20), 0xFFFFFFu);
  EXPECT_EQ(d.Pixel(33, 20), 0u);
}

TEST_F(PipelineTest, GeometryBeyondTheSidesFillsThePictureAreaExactly) {
  SoftDevice d({512, 384, 32, 32});
  UseSceneCamera(d);
  Paint(d, 0x40);
  d.Clear();
  // Much larger than the view at every side, and far beyond the guard band on one.
  ASSERT_EQ(d.Draw(D3DPT_TRIANGLELIST, {Camera(-500, 300, 20), Camera(1e7f, 300, 20), Camera(-500, -1e7f, 20)}), D3D_OK);
  ASSERT_EQ(d.Draw(D3DPT_TRIANGLELIST, {Camera(1e7f, 300, 20), Camera(1e7f, -1e7f, 20), Camera(-500, -1e7f, 20)}), D3D_OK);
  for (int y = 0; y < 384; ++y) {
    for (int x = 0; x < 512; x += 7) {
      ASSERT_EQ(d.Pixel(x, y), y >= 52 && y < 332 ? 0xFFFFFFu : 0x404040u) << x << "," << y;
    }
  }
}

TEST_F(PipelineTest, SpritesOnTheNearPlaneDrawOverEverythingBlendedWithDestColour) {
  SoftDevice d({512, 384, 32, 32});
  UseSceneCamera(d);
  d.Clear();
  IDirect3DTexture2* grey = d.MakeTexture(8, 8, [](int, int) { return 0x404040u; });
  IDirect3DTexture2* glow = d.MakeTexture(8, 8, [](int, int) { return 0x204080u; });
  // A grey wall close in front of the eye, at camera z = 1.5.
  d.device->SetTexture(0, grey);
  d.Draw(D3DPT_TRIANGLELIST, {Camera(-2, 2, 1.5f), Camera(2, 2, 1.5f), Camera(2, -2, 1.5f)});
  // A sprite square exactly on the near plane: camera z = 1, depth 0, as a four-vertex strip.
  d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  d.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR);
  d.device->SetTexture(0, glow);
  D3DMATRIX world{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.3f, 0.1f, 10.0f, 1};
  d.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
  std::vector<D3DVERTEX> quad(4);
  const float corners[4][2] = {{-0.1f, 0.1f}, {0.1f, 0.1f}, {-0.1f, -0.1f}, {0.1f, -0.1f}};
  for (int i = 0; i < 4; ++i) {
    quad[i].x = corners[i][0];
    quad[i].y = corners[i][1];
    quad[i].z = 1.0f;
    quad[i].nz = -1.0f;
  }
  ASSERT_EQ(d.Draw(D3DPT_TRIANGLESTRIP, quad), D3D_OK);
  // The sprite spans x/w from 0.4 to 0.8 (columns 358 to 461) and y/w from 0 to 0.4 (rows 80 to 192).
  int covered = 0;
  for (int y = 52; y < 332; ++y)
    for (int x = 0; x < 512; ++x) covered += d.Pixel(x, y) != 0x404040u && d.Pixel(x, y) != 0;
  EXPECT_NEAR(covered, 102 * 112, 250);
  // s + d * d: 0x20 + 0x40 * 0x40 / 255 per channel, and so on.
  const std::uint32_t expected = Pack(0x20 + 16, 0x40 + 16, 0x80 + 16);
  EXPECT_EQ(d.Pixel(400, 150), expected);
  float depth;
  std::memcpy(&depth, d.depth->Pixels() + 150 * d.depth->Pitch() + 4 * 400, 4);
  EXPECT_EQ(depth, 0.0f);
}

TEST_F(PipelineTest, BlendFactorsAtEveryTargetDepth) {
  struct Pair {
    D3DBLEND source, dest;
  } pairs[] = {{D3DBLEND_ONE, D3DBLEND_ZERO}, {D3DBLEND_ONE, D3DBLEND_SRCCOLOR}, {D3DBLEND_ONE, D3DBLEND_DESTCOLOR}};
  const std::uint32_t source = 0x6090C0, background = 0xF08010;
  for (DWORD bits : {32u, 24u, 16u}) {
    const ColourFormat format = bits == 32 ? ColourFormat::kRgb32 : bits == 24 ? ColourFormat::kRgb24 : ColourFormat::kRgb565;
    const int bytes = BytesPerPixel(format);
    for (const Pair& pair : pairs) {
      SoftDevice d({16, 16, bits, 32});
      auto at = [&](int x, int y) { return d.target->Pixels() + y * d.target->Pitch() + x * bytes; };
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) WritePixel(format, at(x, y), background);
      // The background as the target holds it at this depth.
      const std::uint32_t held = ReadPixel(format, at(0, 0));
      IDirect3DTexture2* texture = d.MakeTexture(8, 8, [&](int, int) { return source; });
      d.device->SetTexture(0, texture);
      d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
      d.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, pair.source);
      d.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, pair.dest);
      d.Draw(D3DPT_TRIANGLELIST, {d.At(0, 0), d.At(16, 0), d.At(16, 16)});
      std::uint8_t expected[4] = {};
      WritePixel(format, expected, Blend(source, held, pair.source, pair.dest));
      EXPECT_EQ(std::memcmp(at(12, 3), expected, static_cast<std::size_t>(bytes)), 0)
          << bits << " bits, factors " << pair.source << "/" << pair.dest;
      EXPECT_EQ(ReadPixel(format, at(3, 12)), held) << "outside the triangle";
    }
  }
}

TEST_F(PipelineTest, MagnifiedTexturesAreFilteredAsSetAndMinifiedOnesTakeTheNearestTexel) {
  SoftDevice d({64, 64, 32, 32});
  // Two texels, black and white: stretched over 64 pixels each covers 32.
  IDirect3DTexture2* texture = d.MakeTexture(2, 2, [](int x, int) { return x ? 0xFFFFFFu : 0u; });
  d.device->SetTexture(0, texture);
  auto drawStretched = [&](float uScale) {
    d.Clear();
    d.Draw(D3DPT_TRIANGLELIST, {d.At(0, 0, 0.5f, 0, 0), d.At(64, 0, 0.5f, uScale, 0), d.At(64, 64, 0.5f, uScale, 1),
                                d.At(0, 0, 0.5f, 0, 0), d.At(64, 64, 0.5f, uScale, 1), d.At(0, 64, 0.5f, 0, 1)});
  };
  drawStretched(1.0f);
  EXPECT_EQ(d.Pixel(10, 30) & 0xFF, 0u) << "nearest by default";
  EXPECT_EQ(d.Pixel(40, 30) & 0xFF, 255u);
  d.device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);
  drawStretched(1.0f);
  // Pixel centres at texel centres (pixel 16 is u = 0.25) keep the texel; between them a ramp.
  EXPECT_EQ(d.Pixel(16, 30) & 0xFF, 0u);
  EXPECT_EQ(d.Pixel(48, 30) & 0xFF, 255u);
  EXPECT_NEAR(static_cast<int>(d.Pixel(32, 30) & 0xFF), 128, 1);
  EXPECT_NEAR(static_cast<int>(d.Pixel(24, 30) & 0xFF), 64, 1);
  // 64 repeats over 64 pixels: each texel is half a pixel wide, minified: nearest texels, never a
  // mix, even though magnification is linear.
  drawStretched(64.0f);
  for (int x = 0; x < 64; ++x) {
    const std::uint32_t blue = d.Pixel(x, 30) & 0xFF;
    EXPECT_TRUE(blue == 0 || blue == 255) << x;
  }
  d.device->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_LINEAR);
  drawStretched(64.0f);
  EXPECT_NEAR(static_cast<int>(d.Pixel(33, 30) & 0xFF), 128, 2) << "minified and linear: texels 65 and 66 mixed";
}

TEST_F(PipelineTest, TexturesFollowThePerspective) {
  SoftDevice d({512, 384, 32, 32});
  UseSceneCamera(d);
  d.Clear();
  // A floor receding from z = 1.5 to z = 12, with v running from 0 to 1 along it; each texel
  // row of a 256-texel texture holds its own blue level.
  IDirect3DTexture2* texture = d.MakeTexture(4, 256, [](int, int y) { return static_cast<std::uint32_t>(y); });
  d.device->SetTexture(0, texture);
  d.Draw(D3DPT_TRIANGLELIST, {Camera(-1, -0.5f, 1.5f, 0, 0), Camera(1, -0.5f, 1.5f, 1, 0), Camera(1, -0.5f, 12, 1, 1),
                              Camera(-1, -0.5f, 1.5f, 0, 0), Camera(1, -0.5f, 12, 1, 1), Camera(-1, -0.5f, 12, 0, 1)});
  // Row r shows the floor at z = 280 / (r - 192); there v = (z - 1.5) / 10.5.
  for (int row : {220, 240, 260, 300, 330}) {
    const double z = 280.0 / (row - 192);
    const double v = (z - 1.5) / 10.5;
    const int shown = static_cast<int>(d.Pixel(256, row) & 0xFF);
    EXPECT_NEAR(shown, v * 256.0, 1.5) << row;
  }
}

TEST_F(PipelineTest, LitTrianglesTakeTheLightsOfTheCurrentViewportAndTheMaterial) {
  SoftDevice d;
  IDirect3DMaterial3* material = nullptr;
  d.direct3D->CreateMaterial(&material, nullptr);
  D3DMATERIAL record{};
  record.dwSize = sizeof(record);
  record.diffuse = D3DCOLORVALUE{{1}, {0.5f}, {0.25f}, {1}};
  record.ambient = D3DCOLORVALUE{{1}, {1}, {1}, {1}};
  record.specular = D3DCOLORVALUE{{1}, {1}, {1}, {1}};
  record.power = 10.0f;
  material->SetMaterial(&record);
  D3DMATERIALHANDLE handle = 0;
  material->GetHandle(d.device, &handle);
  ASSERT_EQ(d.device->SetLightState(D3DLIGHTSTATE_MATERIAL, handle), D3D_OK);
  auto draw = [&](float normalLength) {
    std::vector<D3DVERTEX> square = {d.At(0, 0), d.At(64, 0), d.At(64, 64), d.At(0, 0), d.At(64, 64), d.At(0, 64)};
    for (D3DVERTEX& v : square) v.nz = -normalLength;
    d.Clear();
    d.Draw(D3DPT_TRIANGLELIST, square);
    return d.Pixel(32, 32);
  };
  EXPECT_EQ(draw(1), 0u) << "no light and no ambient level: black";
  d.device->SetLightState(D3DLIGHTSTATE_AMBIENT, 0x00202020);
  EXPECT_EQ(draw(1), 0x202020u) << "the ambient level times the material's ambient";
  // A light far behind the eye along -z: straight on, N.L is 1 everywhere.
  IDirect3DLight* light = nullptr;
  d.direct3D->CreateLight(&light, nullptr);
  D3DLIGHT2 lightRecord{};
  lightRecord.dwSize = sizeof(lightRecord);
  lightRecord.dltType = D3DLIGHT_POINT;
  lightRecord.dcvColor = D3DCOLORVALUE{{0.5f}, {0.5f}, {0.5f}, {1}};
  lightRecord.dvPosition = D3DVECTOR{{0}, {0}, {-1e6f}};
  lightRecord.dvRange = D3DLIGHT_RANGE_MAX;
  lightRecord.dvAttenuation0 = 1.0f;
  lightRecord.dwFlags = D3DLIGHT_ACTIVE;
  light->SetLight(reinterpret_cast<D3DLIGHT*>(&lightRecord));
  // On a viewport that is not the current one, it gives no light.
  IDirect3DViewport3* other = nullptr;
  d.direct3D->CreateViewport(&other, nullptr);
  d.device->AddViewport(other);
  other->AddLight(light);
  EXPECT_EQ(draw(1), 0x202020u);
  D3DVIEWPORT2 viewport = d.viewport->Data();
  other->SetViewport2(&viewport);
  d.device->SetCurrentViewport(other);
  // 32 + 255 * 0.5 * (1, 0.5, 0.25): 0xA0, 0x60, 0x40 when rounded.
  const std::uint32_t lit = Pack(0x20 + 128, 0x20 + 64, 0x20 + 32);
  EXPECT_EQ(draw(1), lit);
  EXPECT_EQ(draw(3), lit) << "normals are renormalised";
  // Highlights go on top of the lit colour when switched on. The corners (+-1, +-1, 0.5) see the
  // eye and the light at N.H = 4 / sqrt(24); the light's one colour (0.5) is its specular colour
  // too, so each channel gains 255 * 0.5 * (4 / sqrt(24))^10, 17.
  d.device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
  const std::uint32_t shiny = draw(1);
  const int gain = static_cast<int>(255 * 0.5 * std::pow(4 / std::sqrt(24.0), 10) + 0.5);
  EXPECT_NEAR(static_cast<int>(Channel(shiny, 16)), 0x20 + 128 + gain, 1);
  EXPECT_NEAR(static_cast<int>(Channel(shiny, 8)), 0x20 + 64 + gain, 1);
  EXPECT_NEAR(static_cast<int>(Channel(shiny, 0)), 0x20 + 32 + gain, 1);
  light->Release();
  other->Release();
  material->Release();
}

}  // namespace
