// The program's spine: entry, window and its message handler, main loop and shut-down.
#pragma once

#include "platform/windows/win32.h"

inline constexpr const char* kWindowClassName = "-=[ Orvalis Demo System ]=-";
inline constexpr const char* kFullScreenTitle = "KALETH by Orvalis";
inline constexpr const char* kWindowedTitle = "Tarn 2 : KALETH";

extern HWND MainWindow;
extern bool WindowedMode;
// True from the moment slot 0 starts until the entry returns: the program is playing.
extern bool Playing;
// True once Shutdown has run; the entry clears it as a run starts.
extern bool ShutDown;

// The entry: runs the whole program and returns the quit message's exit code (0).
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Cleans up the scenes, releases the display, frees the tables and posts the quit message;
// runs at most once per run.
void Shutdown();

// Only the exact text "-window" selects windowed mode.
bool IsWindowedCommandLine(const char* commandLine);
