// IDirect3DMaterial3: a material record and the handle the light state names it by.
#include <map>

#include "platform/direct3d/d3d.h"
#include "platform/faults.h"

namespace {

// Handles are never reused, so a stale handle finds nothing rather than another material.
std::map<D3DMATERIALHANDLE, const IDirect3DMaterial3*>& Registry() {
  static std::map<D3DMATERIALHANDLE, const IDirect3DMaterial3*> registry;
  return registry;
}

D3DMATERIALHANDLE NextHandle() {
  static D3DMATERIALHANDLE next = 0;
  return ++next;
}

}  // namespace

IDirect3DMaterial3::IDirect3DMaterial3() : handle_(NextHandle()) { Registry()[handle_] = this; }

IDirect3DMaterial3::~IDirect3DMaterial3() { Registry().erase(handle_); }

const IDirect3DMaterial3* IDirect3DMaterial3::FromHandle(D3DMATERIALHANDLE handle) {
  const auto found = Registry().find(handle);
  return found == Registry().end() ? nullptr : found->second;
}

HRESULT IDirect3DMaterial3::SetMaterial(D3DMATERIAL* material) {
  if (faults::Hit("IDirect3DMaterial3::SetMaterial")) return DDERR_GENERIC;
  if (material == nullptr || material->dwSize != sizeof(D3DMATERIAL)) return DDERR_INVALIDPARAMS;
  material_ = *material;
  return D3D_OK;
}

HRESULT IDirect3DMaterial3::GetHandle(IDirect3DDevice3* device, D3DMATERIALHANDLE* handle) {
  if (faults::Hit("IDirect3DMaterial3::GetHandle")) return DDERR_GENERIC;
  if (device == nullptr || handle == nullptr) return DDERR_INVALIDPARAMS;
  *handle = handle_;
  return D3D_OK;
}
