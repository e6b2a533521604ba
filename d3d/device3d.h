// The Direct3D objects every 3D scene draws with: the interface, a depth buffer attached to the
// back buffer, the hardware device on the back buffer and the one letterboxed viewport.
#pragma once

#include "platform/direct3d/d3d.h"

extern IDirect3D3* Direct3DInterface;
extern IDirectDrawSurface4* DepthBuffer;
extern IDirect3DDevice3* Device3D;
extern IDirect3DViewport3* Viewport3D;

// Creates the four objects; every failure is fatal.
void CreateDevice3D();
// Picks a depth format and creates and attaches the depth buffer; called by CreateDevice3D.
void CreateDepthBuffer();
// The depth-format enumeration callback: takes the first format that is plain depth, with no
// stencil or other flag, into the 32-byte record `context`.
HRESULT PickDepthFormat(DDPIXELFORMAT* format, void* context);
// Releases the device and the interface; safe when nothing was created, and when called again.
void ReleaseDevice3D();
