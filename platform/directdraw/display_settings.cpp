#include "platform/directdraw/display_settings.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool isDepth(long value) { return value == 32 || value == 24 || value == 16 || value == 8; }

DisplaySettings fromEnvironment() {
  DisplaySettings settings;
  if (const char* depths = std::getenv("KALETH_DISPLAY_DEPTHS")) {
    settings.modeDepths.clear();
    std::string text(depths);
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(',', start);
      if (end == std::string::npos) end = text.size();
      long value = std::strtol(text.substr(start, end - start).c_str(), nullptr, 10);
      if (isDepth(value)) settings.modeDepths.push_back(static_cast<DWORD>(value));
      else std::fprintf(stderr, "KALETH_DISPLAY_DEPTHS: ignoring '%s'\n", text.substr(start, end - start).c_str());
      start = end + 1;
    }
  }
  if (const char* desktop = std::getenv("KALETH_DESKTOP_DEPTH")) {
    long value = std::strtol(desktop, nullptr, 10);
    if (isDepth(value)) settings.desktopDepth = static_cast<DWORD>(value);
    else std::fprintf(stderr, "KALETH_DESKTOP_DEPTH: ignoring '%s'\n", desktop);
  }
  if (const char* padding = std::getenv("KALETH_PITCH_PADDING")) {
    long value = std::strtol(padding, nullptr, 10);
    if (value >= 0 && value <= 4096) settings.pitchPadding = static_cast<int>(value);
  }
  return settings;
}

}  // namespace

DisplaySettings& DirectDrawSettings() {
  static DisplaySettings settings = fromEnvironment();
  return settings;
}
