// IDirect3D3: what the DirectDraw object hands out for IID_IDirect3D3.
#include "platform/direct3d/d3d.h"
#include "platform/direct3d/d3d_settings.h"
#include "platform/direct3d/device_core.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "platform/faults.h"

IDirect3D3* MakeDirect3D(IDirectDraw4* directDraw) {
  auto* direct3D = new IDirect3D3();
  directDraw->AddRef();
  direct3D->directDraw_ = directDraw;
  return direct3D;
}

IDirect3D3::~IDirect3D3() { directDraw_->Release(); }

HRESULT IDirect3D3::EnumZBufferFormats(REFCLSID device, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) {
  if (callback == nullptr) return DDERR_INVALIDPARAMS;
  if (faults::Hit("IDirect3D3::EnumZBufferFormats")) return DDERR_GENERIC;
  if (!(device == IID_IDirect3DHALDevice)) return DDERR_INVALIDPARAMS;
  for (const DDPIXELFORMAT& offered : Direct3DSettings().depthFormats) {
    DDPIXELFORMAT format = offered;  // the callback gets a copy it may scribble on
    if (callback(&format, context) == D3DENUMRET_CANCEL) break;
  }
  return D3D_OK;
}

HRESULT IDirect3D3::CreateDevice(REFCLSID device, IDirectDrawSurface4* target, IDirect3DDevice3** result, void*) {
  if (result == nullptr) return DDERR_INVALIDPARAMS;
  *result = nullptr;
  if (faults::Hit("IDirect3D3::CreateDevice")) return DDERR_GENERIC;
  // The stand-in is a hardware device and nothing else; there is no software rasteriser to ask for.
  if (!(device == IID_IDirect3DHALDevice)) return D3DERR_INVALID_DEVICE;
  if (target == nullptr || (target->Caps() & DDSCAPS_3DDEVICE) == 0) return DDERR_INVALIDPARAMS;
  ColourFormat colour;
  if (!ColourFormatOf(target->Format(), &colour)) return DDERR_INVALIDPIXELFORMAT;
  IDirectDrawSurface4* depth = target->AttachedDepth();
  DepthFormat depthFormat;
  if (depth != nullptr && !DepthFormatOf(depth->Format(), &depthFormat)) return DDERR_INVALIDPIXELFORMAT;

  auto* created = new IDirect3DDevice3();
  target->AddRef();
  created->core_->target = target;
  // Depth testing starts on when the target has a depth surface at the device's creation.
  created->core_->states.depthEnable = depth != nullptr;
  *result = created;
  return D3D_OK;
}

HRESULT IDirect3D3::CreateViewport(IDirect3DViewport3** result, void*) {
  if (result == nullptr) return DDERR_INVALIDPARAMS;
  *result = nullptr;
  if (faults::Hit("IDirect3D3::CreateViewport")) return DDERR_OUTOFMEMORY;
  *result = new IDirect3DViewport3();
  return D3D_OK;
}

HRESULT IDirect3D3::CreateMaterial(IDirect3DMaterial3** result, void*) {
  if (result == nullptr) return DDERR_INVALIDPARAMS;
  *result = nullptr;
  if (faults::Hit("IDirect3D3::CreateMaterial")) return DDERR_OUTOFMEMORY;
  *result = new IDirect3DMaterial3();
  return D3D_OK;
}

HRESULT IDirect3D3::CreateLight(IDirect3DLight** result, void*) {
  if (result == nullptr) return DDERR_INVALIDPARAMS;
  *result = nullptr;
  if (faults::Hit("IDirect3D3::CreateLight")) return DDERR_OUTOFMEMORY;
  *result = new IDirect3DLight();
  return D3D_OK;
}
