#include "core/main_window.h"

HWND MainWindow = nullptr;
