// The Windows user-interface names over the active backend: one window, one message queue.
#include <cstdio>
#include <deque>
#include <string>

#include "platform/windows/backend.h"

struct Window {
  std::string className;
  std::string title;
  WNDPROC procedure = nullptr;
  bool destroyed = false;
};

namespace {

WindowsBackend* activeBackend = nullptr;
WNDCLASSA registeredClass{};
std::string registeredClassName;
Window mainWindow;
bool mainWindowExists = false;
std::deque<MSG> queue;
bool cursorShown = true;
GdiObjectTag* const blackBrush = reinterpret_cast<GdiObjectTag*>(static_cast<std::uintptr_t>(BLACK_BRUSH));

MSG makeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = activeBackend ? activeBackend->Milliseconds() : 0;
  return msg;
}

bool isOurWindow(HWND window) { return window == &mainWindow && mainWindowExists && !mainWindow.destroyed; }

}  // namespace

void SetWindowsBackend(WindowsBackend* backend) { activeBackend = backend; }

WindowsBackend& ActiveWindowsBackend() {
  if (activeBackend == nullptr) {
    std::fprintf(stderr, "platform: no window backend was installed\n");
    std::abort();
  }
  return *activeBackend;
}

void PostBackendMessage(UINT message, WPARAM wParam) {
  if (!isOurWindow(&mainWindow)) return;
  queue.push_back(makeMessage(&mainWindow, message, wParam, 0));
}

HWND CurrentMainWindow() { return isOurWindow(&mainWindow) ? &mainWindow : nullptr; }

void ResetWindowsState() {
  if (mainWindowExists && !mainWindow.destroyed && activeBackend) activeBackend->DestroyMainWindow();
  mainWindow = Window{};
  mainWindowExists = false;
  registeredClass = WNDCLASSA{};
  registeredClassName.clear();
  queue.clear();
  cursorShown = true;
}

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
  if (wndClass == nullptr || wndClass->lpszClassName == nullptr || wndClass->lpfnWndProc == nullptr) return 0;
  registeredClass = *wndClass;
  registeredClassName = wndClass->lpszClassName;
  registeredClass.lpszClassName = registeredClassName.c_str();
  return 1;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int, int, int width, int height,
                     HWND, HMENU, HINSTANCE, void*) {
  if (className == nullptr || registeredClassName != className || mainWindowExists) return nullptr;
  const bool popup = (style & WS_POPUP) != 0;
  if (!ActiveWindowsBackend().CreateMainWindow(windowName ? windowName : "", width, height, popup)) return nullptr;
  mainWindow.className = className;
  mainWindow.title = windowName ? windowName : "";
  mainWindow.procedure = registeredClass.lpfnWndProc;
  mainWindow.destroyed = false;
  mainWindowExists = true;
  return &mainWindow;
}

BOOL ShowWindow(HWND window, int) { return isOurWindow(window) ? TRUE : FALSE; }
BOOL UpdateWindow(HWND window) { return isOurWindow(window) ? TRUE : FALSE; }
HWND SetFocus(HWND window) { return isOurWindow(window) ? window : nullptr; }

BOOL DestroyWindow(HWND window) {
  if (!isOurWindow(window)) return FALSE;
  ActiveWindowsBackend().DestroyMainWindow();
  mainWindow.destroyed = true;
  return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  // The default handling of the close box destroys the window.
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
  if (queue.empty() && activeBackend) activeBackend->PumpEvents();
  if (queue.empty()) return FALSE;
  if (msg) *msg = queue.front();
  if (removeFlags & PM_REMOVE) queue.pop_front();
  return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr || msg->hwnd != &mainWindow || mainWindow.procedure == nullptr) return 0;
  if (mainWindow.destroyed) return 0;
  return mainWindow.procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
  queue.push_back(makeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0));
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT) {
  ActiveWindowsBackend().ShowBox(text ? text : "", caption ? caption : "", owner != nullptr);
  return 1;  // IDOK
}

HCURSOR SetCursor(HCURSOR cursor) {
  const bool shown = cursor != nullptr;
  if (shown != cursorShown && activeBackend) activeBackend->ShowCursor(shown);
  cursorShown = shown;
  return nullptr;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  if (!isOurWindow(window) || point == nullptr) return FALSE;
  POINT origin = ActiveWindowsBackend().ClientOrigin();
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  if (!isOurWindow(window) || rect == nullptr) return FALSE;
  int width = 0, height = 0;
  ActiveWindowsBackend().ClientArea(&width, &height);
  *rect = RECT{0, 0, width, height};
  return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
  if (rect == nullptr) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

HGDIOBJ GetStockObject(int object) { return object == BLACK_BRUSH ? blackBrush : nullptr; }

MMRESULT timeBeginPeriod(UINT) { return 0; }
DWORD timeGetTime() { return ActiveWindowsBackend().Milliseconds(); }
void Sleep(DWORD milliseconds) { ActiveWindowsBackend().Sleep(milliseconds); }
