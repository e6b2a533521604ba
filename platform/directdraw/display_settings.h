// What the stand-in display offers, so that tests can present other machines: the depths at
// which 512 x 384 can be set full-screen, the desktop's depth, and extra bytes at the end of
// every surface row. The machine profile sets them from KALETH_DISPLAY_DEPTHS (e.g. "24,16"),
// KALETH_DESKTOP_DEPTH and KALETH_PITCH_PADDING; tests may change them in-process.
#pragma once

#include <string>
#include <vector>

#include "platform/windows/win32.h"

struct DirectDrawSettingsData {
  std::vector<DWORD> modeDepths{32, 24, 16};
  DWORD desktopDepth = 32;
  int pitchPadding = 0;
};

// The settings from these values of the three variables (null: not set); a value that cannot be
// used adds its line to `warnings` and leaves the default.
DirectDrawSettingsData ReadDisplaySettings(const char* modeDepths, const char* desktopDepth, const char* pitchPadding,
                                           std::vector<std::string>* warnings);

DirectDrawSettingsData& DirectDrawSettings();
