// The machine's own Windows under the names the system calls: user32, gdi32, kernel32 and winmm
// from windows.h and mmsystem.h, DirectDraw 4 and Direct3D 3 from ddraw.h and d3d.h. The
// headers under include/ stand in the place of the platform's own four, so that the system
// compiles unchanged against these instead (kaleth-dx.exe).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <mmsystem.h>

#include <ddraw.h>
#include <d3d.h>
