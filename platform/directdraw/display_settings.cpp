#include "platform/directdraw/display_settings.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/comma_list.h"

namespace {

bool IsDepth(long value) { return value == 32 || value == 24 || value == 16 || value == 8; }

DirectDrawSettingsData FromEnvironment() {
  DirectDrawSettingsData settings;
  if (const char* depths = std::getenv("KALETH_DISPLAY_DEPTHS")) {
    settings.modeDepths.clear();
    for (const std::string& item : SplitCommaList(depths)) {
      const long value = std::strtol(item.c_str(), nullptr, 10);
      if (IsDepth(value)) settings.modeDepths.push_back(static_cast<DWORD>(value));
      else std::fprintf(stderr, "KALETH_DISPLAY_DEPTHS: ignoring '%s'\n", item.c_str());
    }
  }
  if (const char* desktop = std::getenv("KALETH_DESKTOP_DEPTH")) {
    long value = std::strtol(desktop, nullptr, 10);
    if (IsDepth(value)) settings.desktopDepth = static_cast<DWORD>(value);
    else std::fprintf(stderr, "KALETH_DESKTOP_DEPTH: ignoring '%s'\n", desktop);
  }
  if (const char* padding = std::getenv("KALETH_PITCH_PADDING")) {
    long value = std::strtol(padding, nullptr, 10);
    if (value >= 0 && value <= 4096) settings.pitchPadding = static_cast<int>(value);
  }
  return settings;
}

}  // namespace

DirectDrawSettingsData& DirectDrawSettings() {
  static DirectDrawSettingsData settings = FromEnvironment();
  return settings;
}
