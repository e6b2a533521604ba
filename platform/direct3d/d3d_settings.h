// What the stand-in device offers, so that tests can present other cards: the depth-buffer
// formats EnumZBufferFormats hands out, in order. The machine profile sets them from
// KALETH_DEPTH_FORMATS, a comma-separated list of "16" and "32" (plain depth), "24s8" and "15s1"
// (depth with stencil), or "none"; tests may change them in-process.
#pragma once

#include <string>
#include <vector>

#include "platform/directdraw/ddraw.h"

struct Direct3DSettingsData {
  std::vector<DDPIXELFORMAT> depthFormats;
};

// A plain depth format of the given bits, or one with stencil bits besides.
DDPIXELFORMAT DepthPixelFormat(DWORD depthBits, DWORD stencilBits = 0);

// The formats offered by default: one with stencil first, then 32 and 16 bits of plain depth.
Direct3DSettingsData DefaultDirect3DSettings();

// The settings from this value of KALETH_DEPTH_FORMATS (null: not set); a value that cannot be
// used adds its line to `warnings` and leaves the default.
Direct3DSettingsData ReadDirect3DSettings(const char* depthFormats, std::vector<std::string>* warnings);

Direct3DSettingsData& Direct3DSettings();
