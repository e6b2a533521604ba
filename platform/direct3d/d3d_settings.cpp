#include "platform/direct3d/d3d_settings.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/comma_list.h"

namespace {

Direct3DSettingsData FromEnvironment() {
  Direct3DSettingsData settings = DefaultDirect3DSettings();
  const char* text = std::getenv("KALETH_DEPTH_FORMATS");
  if (text == nullptr) return settings;
  settings.depthFormats.clear();
  for (const std::string& item : SplitCommaList(text)) {
    if (item == "16") settings.depthFormats.push_back(DepthPixelFormat(16));
    else if (item == "32") settings.depthFormats.push_back(DepthPixelFormat(32));
    else if (item == "24s8") settings.depthFormats.push_back(DepthPixelFormat(24, 8));
    else if (item == "15s1") settings.depthFormats.push_back(DepthPixelFormat(15, 1));
    else if (item != "none") std::fprintf(stderr, "KALETH_DEPTH_FORMATS: ignoring '%s'\n", item.c_str());
  }
  return settings;
}

}  // namespace

DDPIXELFORMAT DepthPixelFormat(DWORD depthBits, DWORD stencilBits) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_ZBUFFER | (stencilBits ? DDPF_STENCILBUFFER : 0);
  // The bit depth counts the stencil bits too; the depth bits sit above them.
  format.dwZBufferBitDepth = depthBits + stencilBits;
  format.dwStencilBitDepth = stencilBits;
  format.dwZBitMask = static_cast<DWORD>(((std::uint64_t{1} << depthBits) - 1) << stencilBits);
  format.dwStencilBitMask = static_cast<DWORD>((std::uint64_t{1} << stencilBits) - 1);
  return format;
}

Direct3DSettingsData DefaultDirect3DSettings() {
  return {{DepthPixelFormat(24, 8), DepthPixelFormat(32), DepthPixelFormat(16)}};
}

Direct3DSettingsData& Direct3DSettings() {
  static Direct3DSettingsData settings = FromEnvironment();
  return settings;
}
