// The render states the device honours and the values it accepts for them.
#pragma once

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/pipeline/pipeline.h"

// The render states the device honours, at a fresh device's values.
struct RenderStates {
  bool depthEnable = false;  // on from creation when a depth surface is attached
  bool depthWrite = true;
  CullMode cull = CullMode::kCounterClockwise;
  D3DTEXTUREFILTER magnify = D3DFILTER_NEAREST;
  D3DTEXTUREFILTER minify = D3DFILTER_NEAREST;
  bool blend = false;
  D3DBLEND sourceBlend = D3DBLEND_ONE;
  D3DBLEND destBlend = D3DBLEND_ZERO;
  bool specular = false;
};

// Sets one render state; an error for a state or value the device does not draw with.
HRESULT ApplyRenderState(RenderStates* states, D3DRENDERSTATETYPE state, DWORD value);
