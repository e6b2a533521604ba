#include "tools/drawing/memory_device.h"

#include <cstdio>
#include <cstring>

#include "d3d/device3d.h"
#include "d3d/transforms.h"
#include "platform/direct3d/d3d_settings.h"

MemoryDevice::MemoryDevice(const MemoryDeviceOptions& options) : options_(options) { Create(); }

void MemoryDevice::Create() {
  const MemoryDeviceOptions& options = options_;
  IDirectDraw* first = nullptr;
  HRESULT result = DirectDrawCreate(nullptr, &first, nullptr);
  if (FAILED(result)) return Fail("DirectDrawCreate", result);
  void* object = nullptr;
  result = first->QueryInterface(IID_IDirectDraw4, &object);
  first->Release();
  if (FAILED(result)) return Fail("IDirectDraw::QueryInterface", result);
  directDraw = static_cast<IDirectDraw4*>(object);

  DDSURFACEDESC2 description;
  std::memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  description.dwWidth = static_cast<DWORD>(options.width);
  description.dwHeight = static_cast<DWORD>(options.height);
  description.ddpfPixelFormat = RgbPixelFormat(options.colourBits);
  description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  result = directDraw->CreateSurface(&description, &target, nullptr);
  if (FAILED(result)) return Fail("the target", result);
  if (options.depthBits != 0) {
    description.ddpfPixelFormat = DepthPixelFormat(options.depthBits);
    description.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
    result = directDraw->CreateSurface(&description, &depth, nullptr);
    if (FAILED(result)) return Fail("the depth surface", result);
    result = target->AddAttachedSurface(depth);
    if (FAILED(result)) return Fail("attaching the depth surface", result);
  }
  result = directDraw->QueryInterface(IID_IDirect3D3, &object);
  if (FAILED(result)) return Fail("IID_IDirect3D3", result);
  direct3D = static_cast<IDirect3D3*>(object);
  result = direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &device, nullptr);
  if (FAILED(result)) return Fail("the device", result);
  result = direct3D->CreateViewport(&viewport, nullptr);
  if (FAILED(result)) return Fail("the viewport", result);
  result = device->AddViewport(viewport);
  if (FAILED(result)) return Fail("AddViewport", result);
  D3DVIEWPORT2 data;
  std::memset(&data, 0, sizeof(data));
  data.dwSize = sizeof(data);
  data.dwWidth = static_cast<DWORD>(options.width);
  data.dwHeight = static_cast<DWORD>(options.height);
  data.dvClipX = -1.0f;
  data.dvClipY = 1.0f;
  data.dvClipWidth = 2.0f;
  data.dvClipHeight = 2.0f;
  data.dvMaxZ = 1.0f;
  result = viewport->SetViewport2(&data);
  if (FAILED(result)) return Fail("SetViewport2", result);
  result = device->SetCurrentViewport(viewport);
  if (FAILED(result)) return Fail("SetCurrentViewport", result);
}

MemoryDevice::~MemoryDevice() {
  // The device lets go of its texture and viewports; the textures then let go of their surfaces.
  if (device) device->Release();
  for (IDirect3DTexture2* texture : textures_) texture->Release();
  if (viewport) viewport->Release();
  if (direct3D) direct3D->Release();
  if (depth) depth->Release();
  if (target) target->Release();
  if (directDraw) directDraw->Release();
}

void MemoryDevice::Fail(const std::string& step, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof(code), "0x%08X", static_cast<unsigned>(result));
  error_ = step + " failed with " + code;
}

HRESULT MemoryDevice::UseSceneCamera() {
  D3DVIEWPORT2 picture = PictureViewport();
  const HRESULT result = viewport->SetViewport2(&picture);
  D3DMATRIX view = CameraView();
  D3DMATRIX projection = CameraProjection();
  device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
  device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
  return result;
}

IDirect3DTexture2* MemoryDevice::MakeTexture(int width, int height,
                                             const std::function<std::uint32_t(int, int)>& texel) {
  DDSURFACEDESC2 description;
  std::memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  description.dwWidth = static_cast<DWORD>(width);
  description.dwHeight = static_cast<DWORD>(height);
  description.ddpfPixelFormat = RgbPixelFormat(32);
  description.ddpfPixelFormat.dwFlags |= DDPF_ALPHAPIXELS;
  description.ddpfPixelFormat.dwRGBAlphaBitMask = 0xFF000000;
  description.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  IDirectDrawSurface4* surface = nullptr;
  HRESULT result = directDraw->CreateSurface(&description, &surface, nullptr);
  if (FAILED(result)) {
    Fail("a texture", result);
    return nullptr;
  }
  DDSURFACEDESC2 locked;
  std::memset(&locked, 0, sizeof(locked));
  locked.dwSize = sizeof(locked);
  void* texture = nullptr;
  result = surface->Lock(nullptr, &locked, DDLOCK_WRITEONLY, nullptr);
  if (SUCCEEDED(result)) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t value = texel(x, y);
        std::memcpy(static_cast<std::uint8_t*>(locked.lpSurface) + y * locked.lPitch + 4 * x, &value, 4);
      }
    }
    surface->Unlock(nullptr);
    result = surface->QueryInterface(IID_IDirect3DTexture2, &texture);
  }
  surface->Release();
  if (FAILED(result)) {
    Fail("a texture", result);
    return nullptr;
  }
  textures_.push_back(static_cast<IDirect3DTexture2*>(texture));
  return textures_.back();
}
