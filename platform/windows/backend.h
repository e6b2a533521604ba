// The seam between the Windows names and the machine: a backend gives the one window, its
// input, the millisecond clock, message boxes and the picture on screen. Sound is a seam of its
// own (platform/soundlib/sound_output.h).
#pragma once

#include <cstdint>

#include "platform/windows/win32.h"

// A picture the display hands to the screen: the full-screen front page or the window's client
// area. Pixels are in the display's format (32-bit 0x00RRGGBB, 24-bit B,G,R bytes, 16-bit 5-6-5).
struct FrameView {
  const std::uint8_t* pixels;
  int width;
  int height;
  int pitch;
  int bitsPerPixel;
};

class WindowsBackend {
 public:
  virtual ~WindowsBackend() = default;

  // Creates the window; a popup is the full-screen window. Returns false when there is none.
  virtual bool CreateMainWindow(const char* title, int width, int height, bool popup) = 0;
  virtual void DestroyMainWindow() = 0;
  // The client area's size and its origin on the screen.
  virtual void ClientArea(int* width, int* height) = 0;
  virtual POINT ClientOrigin() = 0;
  virtual void ShowCursor(bool shown) = 0;

  // Hands every input event that is due to PostBackendMessage.
  virtual void PumpEvents() = 0;
  virtual std::uint32_t Milliseconds() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // Shows a modal box and returns when it is dismissed.
  virtual void ShowBox(const char* text, const char* caption, bool owned) = 0;
  // Puts a picture on the screen; called once per flip or windowed blit. Like the flip it
  // stands for, it may wait for the display's refresh.
  virtual void Present(const FrameView& frame) = 0;
  // A flip or windowed blit that failed: nothing reached the screen, but the frame was made.
  virtual void PresentFailed() {}
};

// The executable installs its backend before the system code runs.
void SetWindowsBackend(WindowsBackend* backend);
WindowsBackend& ActiveWindowsBackend();

// Queues an input message for the main window (used by the backends).
void PostBackendMessage(UINT message, WPARAM wParam);

// The window the system created, or null (used by the display stand-in).
HWND CurrentMainWindow();

// Forgets the window, the message queue and the quit state (tests run several programs).
void ResetWindowsState();
