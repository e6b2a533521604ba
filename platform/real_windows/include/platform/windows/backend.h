// The window backend's seam where the machine's own Windows stands under the names: user32 makes
// the window, reads the keys, keeps the clock and shows the boxes, so there is nothing to install.
// The calls the session makes of the seam keep their meaning.
#pragma once

#include "platform/real_windows/sdk.h"

// The machine's own user32, gdi32 and winmm.
class WindowsBackend {};

// Nothing to install: user32 is always there.
void SetWindowsBackend(WindowsBackend* backend);

// Posts an input message to the main window: the first top-level window of this thread.
void PostBackendMessage(UINT message, WPARAM wParam);

// A process runs the program once here, and Windows takes its windows down with it.
void ResetWindowsState();
