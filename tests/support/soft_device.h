// The memory device of the tools, for tests that draw through the pipeline and read the pixels
// back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/direct3d/d3d.h"
#include "tools/drawing/memory_device.h"

using SoftDeviceOptions = MemoryDeviceOptions;

// The memory device with what the tests read and draw with; a depth surface starts cleared.
class SoftDevice : public MemoryDevice {
 public:
  explicit SoftDevice(const SoftDeviceOptions& options = {}) : MemoryDevice(options) {
    EXPECT_EQ(Error(), "");
    Clear();  // a new depth surface holds zeros, the nearest depth
  }

  // The whole target as the viewport, with the clip volume given.
  void SetViewport(float clipX, float clipY, float clipWidth, float clipHeight) {
    D3DVIEWPORT2 data{};
    data.dwSize = sizeof(data);
    data.dwWidth = static_cast<DWORD>(Options().width);
    data.dwHeight = static_cast<DWORD>(Options().height);
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
    all.x2 = Options().width;
    all.y2 = Options().height;
    EXPECT_EQ(viewport->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), D3D_OK);
  }

  // With the identity transforms and the default viewport, the vertex for pixel (px, py) at
  // depth z: x = 2 px / W - 1, y = 1 - 2 py / H.
  D3DVERTEX At(float px, float py, float z = 0.5f, float u = 0, float v = 0) const {
    D3DVERTEX vertex{};
    vertex.x = 2.0f * px / static_cast<float>(Options().width) - 1.0f;
    vertex.y = 1.0f - 2.0f * py / static_cast<float>(Options().height);
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
    switch (Options().colourBits) {
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

  int Width() const { return Options().width; }
  int Height() const { return Options().height; }
};
