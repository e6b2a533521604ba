// The display (full-screen) and the 3D device as the start-up leaves them, for in-process tests
// of set-ups that draw or set device state, and their release afterwards.
#pragma once

#include "d3d/device3d.h"
#include "display/display.h"
#include "runtime/entry.h"
#include "tests/support/main_window.h"

inline void StartDisplayAndDevice() {
  OpenMainDisplay(false);
  CreateDevice3D();
}

// Also gives back the viewport and the depth buffer, which the program keeps to its end.
inline void StopDisplayAndDevice() {
  ReleaseDevice3D();
  if (Viewport3D) Viewport3D->Release();
  Viewport3D = nullptr;
  if (DepthBuffer) DepthBuffer->Release();
  DepthBuffer = nullptr;
  ReleaseDisplay();
  ResetWindowsState();
}
