// The Windows user-interface, timer, sleep and thread-pool names the system calls, with their
// real values. Under the window calls sits one of two backends (sdl or headless), chosen by the
// executable; under the thread pool, the program's shared worker threads.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using HRESULT = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
using ATOM = WORD;
using MMRESULT = UINT;
using PVOID = void*;

struct Window;
using HWND = Window*;
struct InstanceTag;
using HINSTANCE = InstanceTag*;
struct GdiObjectTag;
using HGDIOBJ = GdiObjectTag*;
using HBRUSH = HGDIOBJ;
struct CursorTag;
using HCURSOR = CursorTag*;
using HICON = CursorTag*;
using HMENU = void*;

// The calling conventions of callbacks and of the entry: the stack's on 32-bit Windows, and the
// one convention there is on every machine this platform runs on.
#define CALLBACK
#define WINAPI

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_CHAR = 0x0102;

constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_F1 = 0x70;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

constexpr UINT MB_OK = 0x00000000;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;

constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_SYSMENU = 0x00080000u;
constexpr DWORD WS_OVERLAPPED = 0x00000000u;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

constexpr int BLACK_BRUSH = 4;
constexpr int SW_SHOWDEFAULT = 10;

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
  LONG x, y;
};

struct RECT {
  LONG left, top, right, bottom;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

ATOM RegisterClassA(const WNDCLASSA* wndClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
HWND SetFocus(HWND window);
BOOL DestroyWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
void PostQuitMessage(int exitCode);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HCURSOR SetCursor(HCURSOR cursor);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL OffsetRect(RECT* rect, int dx, int dy);
HGDIOBJ GetStockObject(int object);

MMRESULT timeBeginPeriod(UINT period);
DWORD timeGetTime();
void Sleep(DWORD milliseconds);

// The thread pool's work objects. A work object is one callback with its context; every
// SubmitThreadpoolWork queues one call of it. The queued calls run when the work object is waited
// for (or closed): the waiting thread shares them with the pool's threads, so they may run in any
// order and at the same time, and WaitForThreadpoolWorkCallbacks returns once every one has
// returned. With one thread there is no pool and they run in the order submitted, on the waiting
// thread. A callback must not close its own work object.
struct TP_WORK;
using PTP_WORK = TP_WORK*;
struct TP_CALLBACK_INSTANCE;
using PTP_CALLBACK_INSTANCE = TP_CALLBACK_INSTANCE*;
struct TP_CALLBACK_ENVIRON;
using PTP_CALLBACK_ENVIRON = TP_CALLBACK_ENVIRON*;
using PTP_WORK_CALLBACK = void(CALLBACK*)(PTP_CALLBACK_INSTANCE instance, PVOID context, PTP_WORK work);

// Null when the callback is null or an environment is given (only the default pool exists).
PTP_WORK CreateThreadpoolWork(PTP_WORK_CALLBACK callback, PVOID context, PTP_CALLBACK_ENVIRON environment);
void SubmitThreadpoolWork(PTP_WORK work);
// With cancelPending, the calls not yet started are dropped instead of run.
void WaitForThreadpoolWorkCallbacks(PTP_WORK work, BOOL cancelPending);
// Runs what is still queued, then releases the work object.
void CloseThreadpoolWork(PTP_WORK work);
