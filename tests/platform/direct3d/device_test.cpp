// The Direct3D objects as a caller meets them: what they refuse, what they keep, and that every
// call that can fail does so through the fault registry.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/headless.h"
#include "tests/support/soft_device.h"

namespace {

using DeviceTest = HeadlessTest;

std::vector<D3DVERTEX> Square(const SoftDevice& d, float x0, float y0, float x1, float y1, float z = 0.5f) {
  // Clockwise on the screen, as two triangles.
  return {d.At(x0, y0, z), d.At(x1, y0, z), d.At(x1, y1, z), d.At(x0, y0, z), d.At(x1, y1, z), d.At(x0, y1, z)};
}

int CountPixels(const SoftDevice& d, std::uint32_t colour) {
  int count = 0;
  for (int y = 0; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x) count += d.Pixel(x, y) == colour;
  return count;
}

TEST_F(DeviceTest, DirectDrawHandsOutDirect3DAndTexturesOnlyForWhatTheyAre) {
  SoftDevice d;
  void* object = &d;
  EXPECT_EQ(d.directDraw->QueryInterface(IID_IDirectDraw4, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(d.target->QueryInterface(IID_IDirect3DTexture2, &object), E_NOINTERFACE) << "not a texture surface";
  IDirect3DTexture2* texture = d.MakeTexture(8, 8, [](int, int) { return 0u; });
  EXPECT_EQ(texture->Surface()->Caps() & DDSCAPS_TEXTURE, DDSCAPS_TEXTURE);
  EXPECT_EQ(texture->Surface()->QueryInterface(IID_IDirect3D3, &object), E_NOINTERFACE);
}

TEST_F(DeviceTest, CreateDeviceWantsTheHardwareDeviceOnADrawableSurface) {
  SoftDevice d;
  IDirect3DDevice3* device = nullptr;
  const GUID software = {0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
  EXPECT_EQ(d.direct3D->CreateDevice(software, d.target, &device, nullptr), D3DERR_INVALID_DEVICE);
  EXPECT_EQ(device, nullptr);
  IDirect3DTexture2* texture = d.MakeTexture(8, 8, [](int, int) { return 0u; });
  EXPECT_EQ(d.direct3D->CreateDevice(IID_IDirect3DHALDevice, texture->Surface(), &device, nullptr),
            DDERR_INVALIDPARAMS)
      << "a surface without DDSCAPS_3DDEVICE";
  EXPECT_EQ(d.direct3D->CreateDevice(IID_IDirect3DHALDevice, nullptr, &device, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DeviceTest, DepthTestingStartsOnOnlyWithADepthSurface) {
  for (bool depthSurface : {true, false}) {
    SoftDevice d({64, 64, 32, depthSurface ? 32u : 0u});
    EXPECT_EQ(d.device->DepthTesting(), depthSurface);
    d.Clear();
    d.Draw(D3DPT_TRIANGLELIST, Square(d, 0, 0, 64, 64, 0.2f));
    IDirect3DTexture2* black = d.MakeTexture(8, 8, [](int, int) { return 0u; });
    d.device->SetTexture(0, black);
    d.Draw(D3DPT_TRIANGLELIST, Square(d, 0, 0, 64, 64, 0.9f));
    EXPECT_EQ(d.Pixel(10, 10), depthSurface ? 0xFFFFFFu : 0u) << "the far square hides the near one only without depth";
    if (!depthSurface) continue;
    EXPECT_EQ(d.device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE), D3D_OK);
    d.Draw(D3DPT_TRIANGLELIST, Square(d, 0, 0, 64, 64, 0.9f));
    EXPECT_EQ(d.Pixel(10, 10), 0u) << "depth testing switched off";
  }
}

TEST_F(DeviceTest, DrawingHappensOnlyInsideAScene) {
  SoftDevice d;
  std::vector<D3DVERTEX> square = Square(d, 0, 0, 8, 8);
  EXPECT_EQ(d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, square.data(), 6, 0), D3DERR_SCENE_NOT_IN_SCENE);
  EXPECT_EQ(d.device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
  EXPECT_EQ(d.device->BeginScene(), D3D_OK);
  EXPECT_EQ(d.device->BeginScene(), D3DERR_SCENE_IN_SCENE);
  EXPECT_EQ(d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, square.data(), 6, 0), D3D_OK);
  EXPECT_EQ(d.device->EndScene(), D3D_OK);
  EXPECT_EQ(CountPixels(d, 0xFFFFFF), 64);
}

TEST_F(DeviceTest, OnlyTriangleListsAndStripsOfPlainVerticesAreDrawn) {
  SoftDevice d;
  std::vector<D3DVERTEX> square = Square(d, 0, 0, 8, 8);
  d.device->BeginScene();
  EXPECT_EQ(d.device->DrawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, square.data(), 6, 0), D3DERR_INVALIDPRIMITIVETYPE);
  EXPECT_EQ(d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW, square.data(), 6, 0), D3DERR_INVALIDVERTEXFORMAT);
  EXPECT_EQ(d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX | D3DFVF_DIFFUSE, square.data(), 6, 0),
            D3DERR_INVALIDVERTEXFORMAT);
  EXPECT_EQ(d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, nullptr, 6, 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, nullptr, 0, 0), D3D_OK);
  d.device->EndScene();
  EXPECT_EQ(CountPixels(d, 0xFFFFFF), 0);
}

TEST_F(DeviceTest, AStripAlternatesItsTrianglesSoBothKeepTheirFront) {
  SoftDevice d;
  // Top-left, top-right, bottom-left, bottom-right: both triangles face the viewer.
  const std::vector<D3DVERTEX> strip = {d.At(4, 4), d.At(20, 4), d.At(4, 20), d.At(20, 20)};
  ASSERT_EQ(d.Draw(D3DPT_TRIANGLESTRIP, strip), D3D_OK);
  EXPECT_EQ(CountPixels(d, 0xFFFFFF), 16 * 16);
}

TEST_F(DeviceTest, StridedIndexedDrawingReadsSeparateArraysAndRefusesIndicesPastTheEnd) {
  SoftDevice d;
  const float positions[4][3] = {{-1, 1, 0.5f}, {0, 1, 0.5f}, {0, 0, 0.5f}, {-1, 0, 0.5f}};  // the top-left quarter
  const float normals[4][3] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
  const float uv[4][2] = {};
  WORD indices[6] = {0, 1, 2, 0, 2, 3};
  D3DDRAWPRIMITIVESTRIDEDDATA data{};
  data.position = {const_cast<float*>(positions[0]), 12};
  data.normal = {const_cast<float*>(normals[0]), 12};
  data.textureCoords[0] = {const_cast<float*>(uv[0]), 8};
  d.device->BeginScene();
  WORD bad[3] = {0, 1, 4};
  EXPECT_EQ(d.device->DrawIndexedPrimitiveStrided(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, &data, 4, bad, 3, 0),
            DDERR_INVALIDPARAMS);
  EXPECT_EQ(CountPixels(d, 0xFFFFFF), 0) << "a refused call draws nothing";
  EXPECT_EQ(d.device->DrawIndexedPrimitiveStrided(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, &data, 4, indices, 6, 0), D3D_OK);
  d.device->EndScene();
  EXPECT_EQ(CountPixels(d, 0xFFFFFF), 32 * 32);
  EXPECT_EQ(d.Pixel(31, 31), 0xFFFFFFu);
  EXPECT_EQ(d.Pixel(32, 31), 0u);
}

TEST_F(DeviceTest, UnsupportedStatesAreRefusedAndLeaveTheStateAlone) {
  SoftDevice d;
  EXPECT_EQ(d.device->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE), DDERR_UNSUPPORTED);
  EXPECT_EQ(d.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA), D3DERR_UNSUPPORTEDFACTORVALUE);
  EXPECT_EQ(d.device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_MIPLINEAR), D3DERR_UNSUPPORTEDTEXTUREFILTER);
  EXPECT_EQ(d.device->SetRenderState(D3DRENDERSTATE_CULLMODE, 7), DDERR_INVALIDPARAMS);
  EXPECT_EQ(d.device->SetLightState(D3DLIGHTSTATE_FOGMODE, 1), DDERR_UNSUPPORTED);
  EXPECT_EQ(d.device->SetLightState(D3DLIGHTSTATE_MATERIAL, 12345), DDERR_INVALIDPARAMS) << "no such material";
  // Culling is still counter-clockwise: a counter-clockwise square is not drawn.
  d.Draw(D3DPT_TRIANGLELIST, {d.At(0, 0), d.At(8, 8), d.At(8, 0)});
  EXPECT_EQ(CountPixels(d, 0xFFFFFF), 0);
}

TEST_F(DeviceTest, OneTextureStageOfPowerOfTwoThirtyTwoBitTextures) {
  SoftDevice d;
  IDirect3DTexture2* texture = d.MakeTexture(8, 8, [](int, int) { return 0x00FF00u; });
  EXPECT_EQ(d.device->SetTexture(1, texture), DDERR_INVALIDPARAMS);
  IDirect3DTexture2* odd = d.MakeTexture(6, 8, [](int, int) { return 0u; });
  EXPECT_EQ(d.device->SetTexture(0, odd), D3DERR_WRONGTEXTUREFORMAT);
  EXPECT_EQ(d.device->SetTexture(0, texture), D3D_OK);
  d.Draw(D3DPT_TRIANGLELIST, Square(d, 0, 0, 8, 8));
  EXPECT_EQ(d.Pixel(3, 3), 0x00FF00u);
  EXPECT_EQ(d.device->SetTexture(0, nullptr), D3D_OK);
  d.Draw(D3DPT_TRIANGLELIST, Square(d, 8, 0, 16, 8));
  EXPECT_EQ(d.Pixel(11, 3), 0xFFFFFFu) << "untextured: the plain colour";
}

TEST_F(DeviceTest, TexelsWrittenAfterADrawShowInTheNextDraw) {
  SoftDevice d;
  IDirect3DTexture2* texture = d.MakeTexture(8, 8, [](int, int) { return 0x0000FFu; });
  d.device->SetTexture(0, texture);
  d.Draw(D3DPT_TRIANGLELIST, Square(d, 0, 0, 8, 8));
  EXPECT_EQ(d.Pixel(3, 3), 0x0000FFu);
  IDirectDrawSurface4* surface = texture->Surface();
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof(description);
  ASSERT_EQ(surface->Lock(nullptr, &description, DDLOCK_WRITEONLY, nullptr), DD_OK);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint32_t red = 0xFF0000;
      std::memcpy(static_cast<std::uint8_t*>(description.lpSurface) + y * description.lPitch + 4 * x, &red, 4);
    }
  }
  surface->Unlock(nullptr);
  d.Draw(D3DPT_TRIANGLELIST, Square(d, 0, 0, 8, 8));
  EXPECT_EQ(d.Pixel(3, 3), 0xFF0000u);
}

TEST_F(DeviceTest, ClearKeepsToTheViewportAndUsesBlackAndTheFarDepth) {
  SoftDevice d;
  std::memset(d.target->Pixels(), 0x77, static_cast<std::size_t>(d.target->Pitch()) * 64);
  std::memset(d.depth->Pixels(), 0, static_cast<std::size_t>(d.depth->Pitch()) * 64);
  D3DVIEWPORT2 viewport{};
  viewport.dwSize = sizeof(viewport);
  viewport.dwX = 8;
  viewport.dwY = 10;
  viewport.dwWidth = 40;
  viewport.dwHeight = 30;
  viewport.dvClipX = -1;
  viewport.dvClipY = 1;
  viewport.dvClipWidth = 2;
  viewport.dvClipHeight = 2;
  viewport.dvMaxZ = 1;
  ASSERT_EQ(d.viewport->SetViewport2(&viewport), D3D_OK);
  EXPECT_EQ(d.viewport->Clear(0, nullptr, D3DCLEAR_TARGET), D3D_OK);
  EXPECT_EQ(CountPixels(d, 0), 0) << "no rectangles, nothing cleared";
  D3DRECT rects[2] = {};
  rects[0].x1 = 0, rects[0].y1 = 0, rects[0].x2 = 20, rects[0].y2 = 20;
  rects[1].x1 = 30, rects[1].y1 = 35, rects[1].x2 = 64, rects[1].y2 = 64;
  ASSERT_EQ(d.viewport->Clear(2, rects, D3DCLEAR_TARGET), D3D_OK);
  // (8, 10)-(20, 20) and (30, 35)-(48, 40): 120 + 90 pixels, right and bottom edges exclusive.
  EXPECT_EQ(CountPixels(d, 0), 120 + 90);
  EXPECT_EQ(d.Pixel(8, 10), 0u);
  EXPECT_EQ(d.Pixel(7, 10), 0x777777u);
  EXPECT_EQ(d.Pixel(20, 19), 0x777777u);
  ASSERT_EQ(d.viewport->Clear(1, rects, D3DCLEAR_ZBUFFER), D3D_OK);
  float depth;
  std::memcpy(&depth, d.depth->Pixels() + 12 * d.depth->Pitch() + 4 * 9, 4);
  EXPECT_EQ(depth, 1.0f);
  std::memcpy(&depth, d.depth->Pixels() + 12 * d.depth->Pitch() + 4 * 7, 4);
  EXPECT_EQ(depth, 0.0f);
}

TEST_F(DeviceTest, ViewportsAndLightsAreCheckedWhereTheyJoin) {
  SoftDevice d;
  D3DVIEWPORT2 viewport = d.viewport->Data();
  viewport.dwSize = 40;
  EXPECT_EQ(d.viewport->SetViewport2(&viewport), DDERR_INVALIDPARAMS);
  viewport.dwSize = sizeof(viewport);
  viewport.dwWidth = 65;
  EXPECT_EQ(d.viewport->SetViewport2(&viewport), DDERR_INVALIDPARAMS) << "wider than the target";
  viewport.dwWidth = 64;
  viewport.dvClipHeight = 0;
  EXPECT_EQ(d.viewport->SetViewport2(&viewport), DDERR_INVALIDPARAMS);
  IDirect3DViewport3* loose = nullptr;
  ASSERT_EQ(d.direct3D->CreateViewport(&loose, nullptr), D3D_OK);
  viewport.dvClipHeight = 2;
  EXPECT_EQ(loose->SetViewport2(&viewport), D3DERR_VIEWPORTHASNODEVICE);
  EXPECT_EQ(d.device->SetCurrentViewport(loose), DDERR_INVALIDPARAMS) << "not added to this device";
  IDirect3DLight* light = nullptr;
  ASSERT_EQ(d.direct3D->CreateLight(&light, nullptr), D3D_OK);
  D3DLIGHT2 record{};
  record.dwSize = sizeof(record);
  record.dltType = D3DLIGHT_SPOT;
  EXPECT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&record)), DDERR_UNSUPPORTED);
  record.dltType = D3DLIGHT_POINT;
  record.dwSize = 60;
  EXPECT_EQ(light->SetLight(reinterpret_cast<D3DLIGHT*>(&record)), DDERR_INVALIDPARAMS);
  // The older record, without flags, is always active.
  D3DLIGHT older{};
  older.dwSize = sizeof(older);
  older.dltType = D3DLIGHT_POINT;
  EXPECT_EQ(light->SetLight(&older), D3D_OK);
  EXPECT_EQ(light->Light().dwFlags, D3DLIGHT_ACTIVE);
  EXPECT_EQ(d.viewport->AddLight(light), D3D_OK);
  EXPECT_EQ(loose->AddLight(light), D3DERR_LIGHTHASVIEWPORT);
  light->Release();
  loose->Release();
}

TEST_F(DeviceTest, EveryCallThatCanFailFailsThroughTheFaultRegistry) {
  SoftDevice d;
  IDirect3DMaterial3* material = nullptr;
  IDirect3DLight* light = nullptr;
  ASSERT_EQ(d.direct3D->CreateMaterial(&material, nullptr), D3D_OK);
  ASSERT_EQ(d.direct3D->CreateLight(&light, nullptr), D3D_OK);
  D3DMATERIAL materialRecord{};
  materialRecord.dwSize = sizeof(materialRecord);
  D3DLIGHT2 lightRecord{};
  lightRecord.dwSize = sizeof(lightRecord);
  lightRecord.dltType = D3DLIGHT_POINT;
  D3DMATRIX matrix{};
  D3DMATERIALHANDLE handle = 0;
  D3DVIEWPORT2 viewport = d.viewport->Data();
  D3DRECT rect{};
  D3DDRAWPRIMITIVESTRIDEDDATA data{};
  DDPIXELFORMAT format{};
  IDirect3DDevice3* device = nullptr;
  IDirect3DViewport3* newViewport = nullptr;
  IDirect3DMaterial3* newMaterial = nullptr;
  IDirect3DLight* newLight = nullptr;
  void* object = nullptr;
  auto enumerate = [](DDPIXELFORMAT*, void*) -> HRESULT { return D3DENUMRET_OK; };
  struct Call {
    const char* operation;
    std::function<HRESULT()> call;
  } calls[] = {
      {"IDirectDraw4::QueryInterface", [&] { return d.directDraw->QueryInterface(IID_IDirect3D3, &object); }},
      {"IDirect3D3::EnumZBufferFormats",
       [&] { return d.direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, enumerate, &format); }},
      {"IDirect3D3::CreateDevice",
       [&] { return d.direct3D->CreateDevice(IID_IDirect3DHALDevice, d.target, &device, nullptr); }},
      {"IDirect3D3::CreateViewport", [&] { return d.direct3D->CreateViewport(&newViewport, nullptr); }},
      {"IDirect3D3::CreateMaterial", [&] { return d.direct3D->CreateMaterial(&newMaterial, nullptr); }},
      {"IDirect3D3::CreateLight", [&] { return d.direct3D->CreateLight(&newLight, nullptr); }},
      {"IDirect3DDevice3::AddViewport", [&] { return d.device->AddViewport(d.viewport); }},
      {"IDirect3DDevice3::SetCurrentViewport", [&] { return d.device->SetCurrentViewport(d.viewport); }},
      {"IDirect3DDevice3::SetTransform", [&] { return d.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &matrix); }},
      {"IDirect3DDevice3::GetTransform", [&] { return d.device->GetTransform(D3DTRANSFORMSTATE_WORLD, &matrix); }},
      {"IDirect3DDevice3::BeginScene", [&] { return d.device->BeginScene(); }},
      {"IDirect3DDevice3::EndScene", [&] { return d.device->EndScene(); }},
      {"IDirect3DDevice3::SetTexture", [&] { return d.device->SetTexture(0, nullptr); }},
      {"IDirect3DDevice3::SetRenderState", [&] { return d.device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE); }},
      {"IDirect3DDevice3::SetLightState", [&] { return d.device->SetLightState(D3DLIGHTSTATE_AMBIENT, 0); }},
      {"IDirect3DDevice3::DrawPrimitive",
       [&] { return d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, nullptr, 0, 0); }},
      {"IDirect3DDevice3::DrawIndexedPrimitiveStrided",
       [&] { return d.device->DrawIndexedPrimitiveStrided(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, &data, 0, nullptr, 0, 0); }},
      {"IDirect3DViewport3::SetViewport2", [&] { return d.viewport->SetViewport2(&viewport); }},
      {"IDirect3DViewport3::Clear", [&] { return d.viewport->Clear(1, &rect, D3DCLEAR_TARGET); }},
      {"IDirect3DViewport3::AddLight", [&] { return d.viewport->AddLight(light); }},
      {"IDirect3DMaterial3::SetMaterial", [&] { return material->SetMaterial(&materialRecord); }},
      {"IDirect3DMaterial3::GetHandle", [&] { return material->GetHandle(d.device, &handle); }},
      {"IDirect3DLight::SetLight", [&] { return light->SetLight(reinterpret_cast<D3DLIGHT*>(&lightRecord)); }},
  };
  for (const Call& c : calls) {
    faults::Fail(c.operation, faults::Calls(c.operation) + 1);
    EXPECT_TRUE(FAILED(c.call())) << c.operation;
  }
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(newViewport, nullptr);
  EXPECT_EQ(newMaterial, nullptr);
  EXPECT_EQ(newLight, nullptr);
  EXPECT_EQ(object, nullptr);
  material->Release();
  light->Release();
}

}  // namespace
