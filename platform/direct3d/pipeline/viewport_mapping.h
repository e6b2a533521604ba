// Between clipping and the rasteriser: a D3DVIEWPORT2 made into a ViewportMapping, and vertices
// taken from clip space to target pixels with it.
#pragma once

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/pipeline/pipeline.h"

// False when the record cannot be used: a zero-sized or inverted volume, or pixels outside
// the target.
bool MakeViewportMapping(const D3DVIEWPORT2& viewport, int targetWidth, int targetHeight, ViewportMapping* mapping);

ScreenVertex ToScreen(const ClipVertex& v, const ViewportMapping& mapping);
// The diffuse and specular colours of a clip-space vertex given to its screen vertex.
void CopyColours(const ClipVertex& v, ScreenVertex* s);
