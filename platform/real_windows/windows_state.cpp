#include <cstdio>
#include <cstdlib>

#include "platform/windows/backend.h"

namespace {

WindowsBackend* activeBackend = nullptr;

BOOL CALLBACK TakeFirstWindow(HWND window, LPARAM found) {
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

}  // namespace

void SetWindowsBackend(WindowsBackend* backend) { activeBackend = backend; }

WindowsBackend& ActiveWindowsBackend() {
  if (activeBackend == nullptr) {
    std::fprintf(stderr, "platform: no window backend was installed\n");
    std::abort();
  }
  return *activeBackend;
}

HWND CurrentMainWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeFirstWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

void PostBackendMessage(UINT message, WPARAM wParam) {
  if (HWND window = CurrentMainWindow()) PostMessageA(window, message, wParam, 0);
}

void ResetWindowsState() {}
