// The program's spine: entry, window and its message handler, main loop and shut-down.
#pragma once

#include "core/main_window.h"
#include "platform/windows/win32.h"

inline constexpr const char* kWindowClassName = "-=[ Orvalis Demo System ]=-";
inline constexpr const char* kFullScreenTitle = "KALETH by Orvalis";
inline constexpr const char* kWindowedTitle = "Tarn 2 : KALETH";

extern bool WindowedMode;
// True from the moment slot 0 starts until the entry returns: the program is playing.
extern bool Playing;
// True once Shutdown has run; the entry clears it as a run starts.
extern bool HasShutDown;

// The entry: runs the whole program and returns the quit message's exit code (0).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// The two halves of the entry, for a host that drives the frames itself (runtime/session.h): the
// run up to the main loop (window, display, canvas, package, start-up), false when there is no
// window; and the main loop, which starts slot 0's clock and returns the quit message's code.
// A fatal error leaves either of them with FatalErrorExit.
bool BeginRun(HINSTANCE instance, LPSTR commandLine, int showCommand);
int RunMainLoop();

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Cleans up the scenes, releases the display, frees the tables and posts the quit message;
// runs at most once per run.
void Shutdown();

// Only the exact text "-window" selects windowed mode.
bool IsWindowedCommandLine(const char* commandLine);
