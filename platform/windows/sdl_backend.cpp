#include "platform/windows/sdl_backend.h"

#include <SDL.h>

#include <cstdio>

#include "platform/windows/pixel_convert.h"

namespace {

WPARAM virtualKey(SDL_Keycode key) {
  if (key == SDLK_ESCAPE) return VK_ESCAPE;
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<WPARAM>(key - SDLK_F1);
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<WPARAM>(key - SDLK_a);
  if ((key >= SDLK_0 && key <= SDLK_9) || key == SDLK_SPACE) return static_cast<WPARAM>(key);
  if (key == SDLK_RETURN) return 0x0D;
  return 0;
}

}  // namespace

SdlBackend::~SdlBackend() {
  CloseSoundOutput();
  DestroyMainWindow();
}

bool SdlBackend::CreateMainWindow(const char* title, int width, int height, bool popup) {
  fullScreen_ = popup;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (popup) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
  window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, flags);
  if (window_ == nullptr) {
    std::fprintf(stderr, "kaleth: cannot create a window: %s\n", SDL_GetError());
    return false;
  }
  if (!popup) {
    // The outer size asked for includes the frame; give the frame its share where the window
    // system tells us how big it is.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 && width > left + right &&
        height > top + bottom) {
      SDL_SetWindowSize(window_, width - left - right, height - top - bottom);
    }
  }
  SDL_ShowWindow(window_);
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    std::fprintf(stderr, "kaleth: cannot draw into the window: %s\n", SDL_GetError());
    DestroyMainWindow();
    return false;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

void SdlBackend::DestroyMainWindow() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

void SdlBackend::ClientArea(int* width, int* height) {
  *width = 0;
  *height = 0;
  if (fullScreen_) {
    *width = 512;
    *height = 384;
  } else if (window_) {
    SDL_GetWindowSize(window_, width, height);
  }
}

POINT SdlBackend::ClientOrigin() {
  POINT origin{0, 0};
  if (window_ && !fullScreen_) SDL_GetWindowPosition(window_, &origin.x, &origin.y);
  return origin;
}

void SdlBackend::ShowCursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void SdlBackend::PumpEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_KEYDOWN) {
      WPARAM key = virtualKey(event.key.keysym.sym);
      if (key != 0) PostBackendMessage(WM_KEYDOWN, key);
    } else if (event.type == SDL_QUIT ||
               (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
      PostBackendMessage(WM_CLOSE, 0);
    }
  }
}

std::uint32_t SdlBackend::Milliseconds() { return SDL_GetTicks(); }

void SdlBackend::Sleep(std::uint32_t milliseconds) { SDL_Delay(milliseconds); }

void SdlBackend::ShowBox(const char* text, const char* caption, bool owned) {
  std::fprintf(stderr, "[%s] %s\n", caption, text);
  SDL_ShowSimpleMessageBox(0, caption, text, owned ? window_ : nullptr);
}

void SdlBackend::Present(const FrameView& frame) {
  if (renderer_ == nullptr || frame.width <= 0 || frame.height <= 0) return;
  if (texture_ == nullptr || textureWidth_ != frame.width || textureHeight_ != frame.height) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, frame.width,
                                 frame.height);
    textureWidth_ = frame.width;
    textureHeight_ = frame.height;
    if (texture_ == nullptr) return;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
  ConvertToXrgb(frame, static_cast<std::uint8_t*>(pixels), pitch);
  SDL_UnlockTexture(texture_);

  int outputWidth = 0, outputHeight = 0;
  SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
  SDL_Rect target{0, 0, outputWidth, outputHeight};
  if (fullScreen_) {
    // Scale the 4:3 picture to fit the desktop, keeping its shape, with black bars.
    if (outputWidth * frame.height > outputHeight * frame.width) {
      target.w = outputHeight * frame.width / frame.height;
      target.x = (outputWidth - target.w) / 2;
    } else {
      target.h = outputWidth * frame.height / frame.width;
      target.y = (outputHeight - target.h) / 2;
    }
  }
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  SDL_RenderPresent(renderer_);
}

SoundOutput* SdlBackend::OpenSoundOutput(int rate, SoundSource* source) {
  soundOutput_ = SdlSoundOutput::Open(rate, source);
  return soundOutput_.get();
}

void SdlBackend::CloseSoundOutput() { soundOutput_.reset(); }
