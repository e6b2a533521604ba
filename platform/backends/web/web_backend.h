// The web backend: the page's canvas, the keyboard and the Stop control, the browser's clock,
// message boxes in the page, and Web Audio. The system's main loop blocks, so the build unwinds
// it to the browser (Asyncify) wherever it waits: in Sleep, and in Present until the browser's
// next animation frame, which is its vertical sync. Only the functions on the way from main to
// those two are built for unwinding (web.cmake lists them), so nothing else may wait: a message
// box is shown at the program's next wait, or at its end, and the program goes on once it is
// dismissed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/soundlib/sound_output.h"
#include "platform/backends/web/web_sound_output.h"
#include "platform/windows/backend.h"

// It is the page's sound device too.
class WebBackend : public WindowsBackend, public SoundDevice {
 public:
  WebBackend();
  ~WebBackend() override;

  bool CreateMainWindow(const char* title, int width, int height, bool popup) override;
  void DestroyMainWindow() override;
  void ClientArea(int* width, int* height) override;
  POINT ClientOrigin() override;
  void ShowCursor(bool shown) override;
  void PumpEvents() override;
  std::uint32_t Milliseconds() override;
  void Sleep(std::uint32_t milliseconds) override;
  void ShowBox(const char* text, const char* caption, bool owned) override;
  void Present(const FrameView& frame) override;
  SoundOutput* OpenSoundOutput(int rate, SoundSource* source) override;
  void CloseSoundOutput() override;

  // An input message from the page (a key, or the Stop control for the close box); delivered at
  // the next pump, once the window exists.
  void Queue(UINT message, WPARAM wParam) { pending_.push_back({message, wParam}); }

  // Shows the message boxes asked for since the last wait, one after the other, each until it is
  // dismissed.
  void ShowPendingBoxes();

 private:
  struct Pending {
    UINT message;
    WPARAM wParam;
  };
  struct Box {
    std::string text;
    std::string caption;
  };
  std::vector<Pending> pending_;
  std::vector<Box> boxes_;
  std::vector<std::uint8_t> rgba_;
  std::unique_ptr<WebSoundOutput> soundOutput_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
};

// Puts a picture on the page's canvas (RGBA bytes, alpha opaque) without waiting.
void ShowOnCanvas(const FrameView& frame, std::vector<std::uint8_t>* rgba);
