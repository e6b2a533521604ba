#include "platform/windows/backend.h"

namespace {

BOOL CALLBACK TakeFirstWindow(HWND window, LPARAM found) {
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

}  // namespace

void SetWindowsBackend(WindowsBackend*) {}

void PostBackendMessage(UINT message, WPARAM wParam) {
  HWND window = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeFirstWindow, reinterpret_cast<LPARAM>(&window));
  if (window != nullptr) PostMessageA(window, message, wParam, 0);
}

void ResetWindowsState() {}
