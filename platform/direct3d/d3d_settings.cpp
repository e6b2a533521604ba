#include "platform/direct3d/d3d_settings.h"

#include <cstdint>
#include <string_view>

#include "platform/comma_list.h"
#include "platform/setting_text.h"

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
  static Direct3DSettingsData settings = DefaultDirect3DSettings();
  return settings;
}

Direct3DSettingsData ReadDirect3DSettings(const char* depthFormats, std::vector<std::string>* warnings) {
  Direct3DSettingsData settings = DefaultDirect3DSettings();
  if (depthFormats == nullptr) return settings;
  // "none" alone offers no format at all, for the device that has none.
  if (std::string_view(depthFormats) == "none") {
    settings.depthFormats.clear();
    return settings;
  }
  std::vector<DDPIXELFORMAT> formats;
  bool usable = *depthFormats != '\0';
  for (const std::string& item : SplitCommaList(depthFormats)) {
    if (item == "16") formats.push_back(DepthPixelFormat(16));
    else if (item == "32") formats.push_back(DepthPixelFormat(32));
    else if (item == "24s8") formats.push_back(DepthPixelFormat(24, 8));
    else if (item == "15s1") formats.push_back(DepthPixelFormat(15, 1));
    else usable = false;
  }
  if (usable) settings.depthFormats = formats;
  else warnings->push_back(IgnoredSetting("KALETH_DEPTH_FORMATS", depthFormats,
                                          "a comma list of 16, 32, 24s8 and 15s1, or none", "24s8,32,16"));
  return settings;
}
