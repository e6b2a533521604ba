// A Direct3D device of the stand-in on a memory render target, without window or display: for
// tests that draw through the pipeline and read the pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/d3d_settings.h"
#include "platform/directdraw/display_settings.h"
#include "platform/faults.h"

struct SoftDeviceOptions {
  int width = 64, height = 64;
  DWORD colourBits = 32;  // 32, 24 or 16
  DWORD depthBits = 32;   // 32, 16, or 0 for no depth surface
};

class SoftDevice {
 public:
  explicit SoftDevice(const SoftDeviceOptions& options = {}) : options_(options) {
    IDirectDraw* first = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    void* object = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IDirectDraw4, &object), S_OK);
    first->Release();
    directDraw = static_cast<IDirectDraw4*>(object);

    DDSURFACEDESC2 description{};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    description.dwWidth = static_cast<DWORD>(options.width);
    description.dwHeight = static_cast<DWORD>(options.height);
    description.ddpfPixelFormat = RgbPixelFormat(options.colourBits);
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    EXPECT_EQ(directDraw->CreateSurface(&description, &target, nullptr), DD_OK);
    if (options.depthBits != 0) {
      description.ddpfPixelFormat = DepthPixelFormat(options.depthBits);
      description.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
      EXPECT_EQ(directDraw->CreateSurface(&description, &depth, nullptr), DD_OK);
      EXPECT_EQ(target->AddAttachedSurface(depth), DD_OK);
    }
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirect3D3, &object), S_OK);
    direct3D = static_cast<IDirect3D3*>(object);
    EXPECT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &device, nullptr), D3D_OK);
    EXPECT_EQ(direct3D->CreateViewport(&viewport, nullptr), D3D_OK);
    EXPECT_EQ(device->AddViewport(viewport), D3D_OK);
    SetViewport(-1.0f, 1.0f, 2.0f, 2.0f);
    EXPECT_EQ(device->SetCurrentViewport(viewport), D3D_OK);
    Clear();  // a new depth surface holds zeros, the nearest depth
  }

  ~SoftDevice() {
    viewport->Release();
    device->Release();
    direct3D->Release();
    if (depth) depth->Release();
    target->Release();
    directDraw->Release();
  }

  // The whole target as the viewport, with the clip volume given.
  void SetViewport(float clipX, float clipY, float clipWidth, float clipHeight) {
    D3DVIEWPORT2 data{};
    data.dwSize = sizeof(data);
    data.dwWidth = static_cast<DWORD>(options_.width);
    data.dwHeight = static_cast<DWORD>(options_.height);
    data.dvClipX = clipX;
    data.dvClipY = clipY;
    data.dvClipWidth = clipWidth;
    data.dvClipHeight = clipHeight;
    data.dvMinZ = 0.0f;
    data.dvMaxZ = 1.0f;
    EXPECT_EQ(viewport->SetViewport2(&data), D3D_OK);
  }

  // Clears colour to black and depth to far over the whole viewport.
  void Clear() {
    D3DRECT all{};
    all.x2 = options_.width;
    all.y2 = options_.height;
    EXPECT_EQ(viewport->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), D3D_OK);
  }

  // With the identity transforms and the default viewport, the vertex for pixel (px, py) at
  // depth z: x = 2 px / W - 1, y = 1 - 2 py / H.
  D3DVERTEX At(float px, float py, float z = 0.5f, float u = 0, float v = 0) const {
    D3DVERTEX vertex{};
    vertex.x = 2.0f * px / static_cast<float>(options_.width) - 1.0f;
    vertex.y = 1.0f - 2.0f * py / static_cast<float>(options_.height);
    vertex.z = z;
    vertex.nz = -1.0f;
    vertex.tu = u;
    vertex.tv = v;
    return vertex;
  }

  HRESULT Draw(D3DPRIMITIVETYPE type, std::vector<D3DVERTEX> vertices) {
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    const HRESULT result =
        device->DrawPrimitive(type, D3DFVF_VERTEX, vertices.data(), static_cast<DWORD>(vertices.size()), 0);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    return result;
  }

  // The pixel at (x, y) as 0x00RRGGBB.
  std::uint32_t Pixel(int x, int y) const {
    const std::uint8_t* at = target->Pixels() + y * target->Pitch();
    switch (options_.colourBits) {
      case 24: return at[3 * x] | (at[3 * x + 1] << 8) | (at[3 * x + 2] << 16);
      case 16: {
        std::uint16_t v;
        std::memcpy(&v, at + 2 * x, 2);
        return ((v & 0xF800u) << 8) | ((v & 0x07E0u) << 5) | ((v & 0x001Fu) << 3);
      }
      default: {
        std::uint32_t v;
        std::memcpy(&v, at + 4 * x, 4);
        return v & 0xFFFFFF;
      }
    }
  }

  int Width() const { return options_.width; }
  int Height() const { return options_.height; }

  // A 32-bit texture surface of the given size, filled by `texel(x, y)`, and its texture.
  template <class Texel>
  IDirect3DTexture2* MakeTexture(int width, int height, Texel texel) {
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    description.dwWidth = static_cast<DWORD>(width);
    description.dwHeight = static_cast<DWORD>(height);
    description.ddpfPixelFormat = RgbPixelFormat(32);
    description.ddpfPixelFormat.dwFlags |= DDPF_ALPHAPIXELS;
    description.ddpfPixelFormat.dwRGBAlphaBitMask = 0xFF000000;
    description.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&description, &surface, nullptr), DD_OK);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t value = texel(x, y);
        std::memcpy(surface->Pixels() + y * surface->Pitch() + 4 * x, &value, 4);
      }
    }
    void* texture = nullptr;
    EXPECT_EQ(surface->QueryInterface(IID_IDirect3DTexture2, &texture), S_OK);
    surface->Release();
    textures_.push_back(static_cast<IDirect3DTexture2*>(texture));
    return textures_.back();
  }

  IDirectDraw4* directDraw = nullptr;
  IDirectDrawSurface4* target = nullptr;
  IDirectDrawSurface4* depth = nullptr;
  IDirect3D3* direct3D = nullptr;
  IDirect3DDevice3* device = nullptr;
  IDirect3DViewport3* viewport = nullptr;

 private:
  SoftDeviceOptions options_;
  struct TextureList : std::vector<IDirect3DTexture2*> {
    ~TextureList() {
      for (IDirect3DTexture2* texture : *this) texture->Release();
    }
  } textures_;
};
