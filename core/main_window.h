// The program's one window: created by the entry, owner of every box the program shows.
#pragma once

#include "platform/windows/win32.h"

extern HWND MainWindow;
