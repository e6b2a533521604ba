// The program's window as the entry creates it, and the display opened on it, for in-process
// tests of the display and of what is drawn on it.
#pragma once

#include "display/display.h"
#include "runtime/entry.h"

// Full-screen the window is a 512 x 384 pop-up; windowed it has a frame around a 512 x 384 client.
inline void CreateMainWindow(bool windowed) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassA(&windowClass);
  WindowedMode = windowed;
  MainWindow = CreateWindowExA(0, kWindowClassName, "t", windowed ? WS_SYSMENU : WS_POPUP, CW_USEDEFAULT,
                               CW_USEDEFAULT, 512, windowed ? 434 : 384, nullptr, nullptr, nullptr, nullptr);
}

inline void OpenMainDisplay(bool windowed) {
  CreateMainWindow(windowed);
  if (windowed) OpenWindowed();
  else OpenFullScreen();
}
