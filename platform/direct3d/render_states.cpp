#include "platform/direct3d/render_states.h"

HRESULT ApplyRenderState(RenderStates* states, D3DRENDERSTATETYPE state, DWORD value) {
  auto isBool = [value] { return value == FALSE || value == TRUE; };
  auto isFilter = [value] { return value == D3DFILTER_NEAREST || value == D3DFILTER_LINEAR; };
  // The blend factors the pipeline draws with.
  auto isFactor = [value] {
    return value == D3DBLEND_ZERO || value == D3DBLEND_ONE || value == D3DBLEND_SRCCOLOR || value == D3DBLEND_DESTCOLOR;
  };
  switch (state) {
    case D3DRENDERSTATE_ZENABLE:
      if (!isBool()) return DDERR_INVALIDPARAMS;
      states->depthEnable = value == D3DZB_TRUE;
      return D3D_OK;
    case D3DRENDERSTATE_ZWRITEENABLE:
      if (!isBool()) return DDERR_INVALIDPARAMS;
      states->depthWrite = value == TRUE;
      return D3D_OK;
    case D3DRENDERSTATE_CULLMODE:
      if (value == D3DCULL_NONE) states->cull = CullMode::kNone;
      else if (value == D3DCULL_CW) states->cull = CullMode::kClockwise;
      else if (value == D3DCULL_CCW) states->cull = CullMode::kCounterClockwise;
      else return DDERR_INVALIDPARAMS;
      return D3D_OK;
    case D3DRENDERSTATE_TEXTUREMAG:
    case D3DRENDERSTATE_TEXTUREMIN:
      // Without mipmaps only the two plain filters mean anything.
      if (!isFilter()) return D3DERR_UNSUPPORTEDTEXTUREFILTER;
      (state == D3DRENDERSTATE_TEXTUREMAG ? states->magnify : states->minify) = static_cast<D3DTEXTUREFILTER>(value);
      return D3D_OK;
    case D3DRENDERSTATE_SRCBLEND:
    case D3DRENDERSTATE_DESTBLEND:
      if (!isFactor()) return D3DERR_UNSUPPORTEDFACTORVALUE;
      (state == D3DRENDERSTATE_SRCBLEND ? states->sourceBlend : states->destBlend) = static_cast<D3DBLEND>(value);
      return D3D_OK;
    case D3DRENDERSTATE_ALPHABLENDENABLE:
      if (!isBool()) return DDERR_INVALIDPARAMS;
      states->blend = value == TRUE;
      return D3D_OK;
    case D3DRENDERSTATE_SPECULARENABLE:
      if (!isBool()) return DDERR_INVALIDPARAMS;
      states->specular = value == TRUE;
      return D3D_OK;
    default:
      // The stand-in draws nothing else; an unknown state is refused rather than ignored.
      return DDERR_UNSUPPORTED;
  }
}
