// IDirect3DViewport3: the viewport record, its lights, and clearing.
#include <algorithm>

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "platform/direct3d/pipeline/viewport_mapping.h"
#include "platform/faults.h"

IDirect3DViewport3::~IDirect3DViewport3() {
  for (IDirect3DLight* light : lights_) {
    light->viewport_ = nullptr;
    light->Release();
  }
}

HRESULT IDirect3DViewport3::SetViewport2(D3DVIEWPORT2* data) {
  if (faults::Hit("IDirect3DViewport3::SetViewport2")) return DDERR_GENERIC;
  if (data == nullptr || data->dwSize != sizeof(D3DVIEWPORT2)) return DDERR_INVALIDPARAMS;
  // The record is checked against the target of the device the viewport belongs to.
  if (device_ == nullptr) return D3DERR_VIEWPORTHASNODEVICE;
  ViewportMapping mapping;
  if (!MakeViewportMapping(*data, device_->Target()->Width(), device_->Target()->Height(), &mapping)) {
    return DDERR_INVALIDPARAMS;
  }
  data_ = *data;
  return D3D_OK;
}

HRESULT IDirect3DViewport3::Clear(DWORD count, D3DRECT* rects, DWORD flags) {
  if (faults::Hit("IDirect3DViewport3::Clear")) return DDERR_GENERIC;
  if (device_ == nullptr) return D3DERR_VIEWPORTHASNODEVICE;
  if (data_.dwSize == 0) return D3DERR_VIEWPORTDATANOTSET;
  if (count == 0 || rects == nullptr) return D3D_OK;
  const RenderTarget target = MakeRenderTarget(device_->Target());
  const LONG left = static_cast<LONG>(data_.dwX), top = static_cast<LONG>(data_.dwY);
  const LONG right = left + static_cast<LONG>(data_.dwWidth), bottom = top + static_cast<LONG>(data_.dwHeight);
  for (DWORD i = 0; i < count; ++i) {
    // Rectangles are clipped to the viewport (which SetViewport2 kept inside the target).
    const RECT rect{std::max(rects[i].x1, left), std::max(rects[i].y1, top), std::min(rects[i].x2, right),
                    std::min(rects[i].y2, bottom)};
    if (rect.left >= rect.right || rect.top >= rect.bottom) continue;
    // With no background material the target clears to black.
    if (flags & D3DCLEAR_TARGET) FillBlack(target, rect);
    if ((flags & D3DCLEAR_ZBUFFER) && target.depthFormat != DepthFormat::kNone) FillFarDepth(target, rect);
  }
  return D3D_OK;
}

HRESULT IDirect3DViewport3::AddLight(IDirect3DLight* light) {
  if (faults::Hit("IDirect3DViewport3::AddLight")) return DDERR_GENERIC;
  if (light == nullptr) return DDERR_INVALIDPARAMS;
  if (light->viewport_ != nullptr) return D3DERR_LIGHTHASVIEWPORT;
  light->AddRef();
  light->viewport_ = this;
  lights_.push_back(light);
  return D3D_OK;
}
