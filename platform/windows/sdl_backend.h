// The sdl backend: a real window, keyboard and close box, SDL's clock and message boxes.
#pragma once

#include <memory>

#include "platform/soundlib/sdl_sound_output.h"
#include "platform/windows/backend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

class SdlBackend : public WindowsBackend {
 public:
  ~SdlBackend() override;

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

 private:
  std::unique_ptr<SdlSoundOutput> soundOutput_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  bool fullScreen_ = false;
};
