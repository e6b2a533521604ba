#include "d3d/device3d.h"

#include <cstring>

#include "display/display.h"
#include "core/errors.h"

IDirect3D3* Direct3DInterface = nullptr;
IDirectDrawSurface4* DepthBuffer = nullptr;
IDirect3DDevice3* Device3D = nullptr;
IDirect3DViewport3* Viewport3D = nullptr;

D3DVIEWPORT2 PictureViewport() {
  D3DVIEWPORT2 viewport;
  std::memset(&viewport, 0, sizeof(viewport));
  viewport.dwSize = 44;
  viewport.dwX = 0;
  viewport.dwY = 52;
  viewport.dwWidth = 512;
  viewport.dwHeight = 280;
  viewport.dvClipX = -1.0f;
  viewport.dvClipY = 0.5f;
  viewport.dvClipWidth = 2.0f;
  viewport.dvClipHeight = 1.0f;
  viewport.dvMinZ = 0.0f;
  viewport.dvMaxZ = 1.0f;
  return viewport;
}

HRESULT CALLBACK PickDepthFormat(DDPIXELFORMAT* format, void* context) {
  if (format->dwFlags == DDPF_ZBUFFER) {
    std::memcpy(context, format, 32);
    return D3DENUMRET_CANCEL;
  }
  return D3DENUMRET_OK;
}

void CreateDepthBuffer() {
  DDPIXELFORMAT format{};
  // The size stays 0 unless a format is picked, so "nothing offered" cannot pass for a format.
  format.dwSize = 0;
  if (FAILED(Direct3DInterface->EnumZBufferFormats(IID_IDirect3DHALDevice, PickDepthFormat, &format))) {
    FatalError("Enum Zbuffers error");
  }
  if (format.dwSize != 32) FatalError("No zbuffer support");

  DDSURFACEDESC2 description;
  std::memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
  description.dwWidth = 512;
  description.dwHeight = 384;
  description.ddpfPixelFormat = format;
  description.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY;
  if (FAILED(DisplayInterface->CreateSurface(&description, &DepthBuffer, nullptr))) FatalError("Unable to create zbuffer");
  if (FAILED(BackBuffer->AddAttachedSurface(DepthBuffer))) FatalError("Unable to attach zbuffer");
}

void CreateDevice3D() {
  void* direct3D = nullptr;
  if (FAILED(DisplayInterface->QueryInterface(IID_IDirect3D3, &direct3D))) FatalError("Unable to acquire d3d interface");
  Direct3DInterface = static_cast<IDirect3D3*>(direct3D);

  // The depth buffer is attached before the device exists, so the device starts with depth
  // testing on; no scene changes the depth state.
  CreateDepthBuffer();

  if (FAILED(Direct3DInterface->CreateDevice(IID_IDirect3DHALDevice, BackBuffer, &Device3D, nullptr))) {
    FatalError("Couldn`t create 3d3HAL device");
  }
  if (FAILED(Direct3DInterface->CreateViewport(&Viewport3D, nullptr))) FatalError("Unable to create viewport");
  if (FAILED(Device3D->AddViewport(Viewport3D))) FatalError("Unable to add viewport");
  D3DVIEWPORT2 viewport = PictureViewport();
  if (FAILED(Viewport3D->SetViewport2(&viewport))) FatalError("Unable to set viewport");
  if (FAILED(Device3D->SetCurrentViewport(Viewport3D))) FatalError("Unable to set current viewport");
}

void ReleaseDevice3D() {
  if (Device3D) {
    Device3D->Release();
    Device3D = nullptr;
  }
  if (Direct3DInterface) {
    Direct3DInterface->Release();
    Direct3DInterface = nullptr;
  }
}
