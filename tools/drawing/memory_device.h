// A Direct3D device of the stand-in on a memory render target, with no window or display: what
// the benchmarks and the tests draw the pipeline with.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/direct3d/d3d.h"

struct MemoryDeviceOptions {
  int width = 64, height = 64;
  DWORD colourBits = 32;  // 32, 24 or 16
  DWORD depthBits = 32;   // 32, 16, or 0 for no depth surface
};

class MemoryDevice {
 public:
  // The target, its depth surface, the device and one current viewport over the whole target
  // with the usual clip volume (-1, 1, 2, 2); a failure leaves a message in Error().
  explicit MemoryDevice(const MemoryDeviceOptions& options = {});
  ~MemoryDevice();
  MemoryDevice(const MemoryDevice&) = delete;
  MemoryDevice& operator=(const MemoryDevice&) = delete;

  const std::string& Error() const { return error_; }
  const MemoryDeviceOptions& Options() const { return options_; }

  // A 32-bit texture with alpha, filled through Lock and Unlock with texel(x, y) (0xAARRGGBB);
  // the device keeps it until it goes.
  IDirect3DTexture2* MakeTexture(int width, int height, const std::function<std::uint32_t(int, int)>& texel);

  // On a 512 x 384 target, the scenes' camera as the program sets it up: PictureViewport's
  // viewport and the view and projection of CameraView and CameraProjection. Gives back
  // SetViewport2's result.
  HRESULT UseSceneCamera();

  IDirectDraw4* directDraw = nullptr;
  IDirectDrawSurface4* target = nullptr;
  IDirectDrawSurface4* depth = nullptr;
  IDirect3D3* direct3D = nullptr;
  IDirect3DDevice3* device = nullptr;
  IDirect3DViewport3* viewport = nullptr;

 private:
  void Create();
  void Fail(const std::string& step, HRESULT result);

  MemoryDeviceOptions options_;
  std::string error_;
  std::vector<IDirect3DTexture2*> textures_;
};
