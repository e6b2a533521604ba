// The Direct3D objects every 3D scene draws with: the interface, a depth buffer attached to the
// back buffer, the hardware device on the back buffer and the one letterboxed viewport.
#pragma once

#include "platform/direct3d/d3d.h"

extern IDirect3D3* Direct3DInterface;
extern IDirectDrawSurface4* DepthBuffer;
extern IDirect3DDevice3* Device3D;
extern IDirect3DViewport3* Viewport3D;

// The scenes' picture area, display rows 52 to 331: x/w from -1 to 1 spans the 512 columns and
// y/w from 0.5 down to -0.5 the 280 rows, so a unit is 256 pixels across but 280 down.
D3DVIEWPORT2 PictureViewport();

// Creates the four objects; every failure is fatal.
void CreateDevice3D();
// Picks a depth format and creates and attaches the depth buffer; called by CreateDevice3D.
void CreateDepthBuffer();
// The depth-format enumeration callback: takes the first format that is plain depth, with no
// stencil or other flag, into the 32-byte record `context`.
HRESULT CALLBACK PickDepthFormat(DDPIXELFORMAT* format, void* context);
// Releases the device and the interface; safe when nothing was created, and when called again.
void ReleaseDevice3D();
