// IDirect3DLight: a light record, as the older D3DLIGHT or the D3DLIGHT2 with its flags.
#include <cstring>

#include "platform/direct3d/d3d.h"
#include "platform/faults.h"

HRESULT IDirect3DLight::SetLight(D3DLIGHT* light) {
  if (faults::Hit("IDirect3DLight::SetLight")) return DDERR_GENERIC;
  if (light == nullptr || (light->dwSize != sizeof(D3DLIGHT) && light->dwSize != sizeof(D3DLIGHT2))) {
    return DDERR_INVALIDPARAMS;
  }
  D3DLIGHT2 record{};
  // The record's size says how much of it there is; a D3DLIGHT2 passed as a D3DLIGHT is read whole.
  std::memcpy(&record, light, light->dwSize);
  // An older record has no flags and always shines.
  if (light->dwSize == sizeof(D3DLIGHT)) record.dwFlags = D3DLIGHT_ACTIVE;
  if (!(record.dvRange >= 0)) return DDERR_INVALIDPARAMS;
  // The device lights with point lights only; another kind would silently not shine.
  if (record.dltType != D3DLIGHT_POINT) return DDERR_UNSUPPORTED;
  light_ = record;
  return D3D_OK;
}
