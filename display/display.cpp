#include "display/display.h"

#include <cstring>
#include <initializer_list>

#include "display/present.h"
#include "runtime/entry.h"
#include "core/errors.h"

IDirectDraw4* DisplayInterface = nullptr;
IDirectDrawSurface4* PrimarySurface = nullptr;
IDirectDrawSurface4* BackBuffer = nullptr;
DWORD DisplayDepth = 0;

namespace {

// DirectDrawCreate, then the IDirectDraw4 interface; the first object is only a way to it.
void CreateDisplayInterface() {
  IDirectDraw* directDraw = nullptr;
  if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK) FatalError("DirectDrawCreate FAILED");
  void* display = nullptr;
  const HRESULT result = directDraw->QueryInterface(IID_IDirectDraw4, &display);
  directDraw->Release();
  if (FAILED(result)) FatalError("Couldn`t get a dd4 interface");
  DisplayInterface = static_cast<IDirectDraw4*>(display);
  SetFatalErrorRelease(ReleaseDisplay);
}

DDSURFACEDESC2 SurfaceDescription() {
  DDSURFACEDESC2 description;
  std::memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  return description;
}

}  // namespace

bool SetDisplayModeBest() {
  for (DWORD depth : {32u, 24u, 16u}) {
    DisplayDepth = depth;
    if (DisplayInterface->SetDisplayMode(512, 384, depth, 0, 0) == DD_OK) return true;
  }
  return false;
}

void OpenFullScreen() {
  CreateDisplayInterface();
  if (FAILED(DisplayInterface->SetCooperativeLevel(MainWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_FPUSETUP))) {
    FatalError("SetCooperativeLevel FAILED");
  }
  if (!SetDisplayModeBest()) FatalError("Your gfx-card sucks!\nDemo will be terminated");

  DDSURFACEDESC2 description = SurfaceDescription();
  description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  description.dwBackBufferCount = 1;
  description.ddsCaps.dwCaps =
      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
  if (DisplayInterface->CreateSurface(&description, &PrimarySurface, nullptr) != DD_OK) {
    FatalError("unable to create primary surface");
  }

  DDSCAPS2 caps{DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE, 0, 0, 0};
  if (FAILED(PrimarySurface->GetAttachedSurface(&caps, &BackBuffer))) FatalError("unable to get backbuffer");

  SetCursor(nullptr);
}

void OpenWindowed() {
  CreateDisplayInterface();
  if (DisplayInterface->SetCooperativeLevel(MainWindow, DDSCL_NORMAL | DDSCL_FPUSETUP) != DD_OK) {
    FatalError("Setcooperative level (normal) FAILED");
  }

  DDSURFACEDESC2 description = SurfaceDescription();
  description.dwFlags = DDSD_CAPS;
  description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (FAILED(DisplayInterface->CreateSurface(&description, &PrimarySurface, nullptr))) {
    FatalError("Unable to create primary surface");
  }

  description = SurfaceDescription();
  description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  description.dwWidth = 512;
  description.dwHeight = 384;
  description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  if (FAILED(DisplayInterface->CreateSurface(&description, &BackBuffer, nullptr))) {
    FatalError("Unable to create backbuffer");
  }

  DDPIXELFORMAT format{};
  format.dwSize = 32;
  format.dwFlags = DDPF_RGB;
  PrimarySurface->GetPixelFormat(&format);
  DisplayDepth = format.dwRGBBitCount;

  // Rows outside the picture area are never written again, so they start black.
  LockBackBuffer();
  std::memset(SurfacePointer, 0, static_cast<std::size_t>(384) * static_cast<std::size_t>(SurfacePitch));
  UnlockBackBuffer();

  if (DisplayDepth != 32 && DisplayDepth != 24) FatalError("Well, that`s a weird mode..");

  IDirectDrawClipper* clipper = nullptr;
  DisplayInterface->CreateClipper(0, &clipper, nullptr);
  if (clipper != nullptr) {
    clipper->SetHWnd(0, MainWindow);
    PrimarySurface->SetClipper(clipper);
    clipper->Release();
  }
}

void ReleaseDisplay() {
  if (DisplayInterface == nullptr) return;
  DisplayInterface->SetCooperativeLevel(MainWindow, DDSCL_NORMAL);
  if (BackBuffer) {
    BackBuffer->Release();
    BackBuffer = nullptr;
  }
  if (PrimarySurface) {
    PrimarySurface->Release();
    PrimarySurface = nullptr;
  }
  DisplayInterface->Release();
  DisplayInterface = nullptr;
}
