// Opens the 512 x 384 display, full-screen and exclusive or in the window, and releases it.
#pragma once

#include "platform/directdraw/ddraw.h"

extern IDirectDraw4* DisplayInterface;
extern IDirectDrawSurface4* PrimarySurface;
extern IDirectDrawSurface4* BackBuffer;
extern DWORD DisplayDepth;

void OpenFullScreen();
void OpenWindowed();
// Sets 512 x 384 at 32, else 24, else 16 bits; false when none of them could be set.
bool SetDisplayModeBest();
// Gives the screen back and releases the display's objects; does nothing when none is open.
void ReleaseDisplay();
