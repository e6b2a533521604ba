#include "platform/backends/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/backends/sdl/box_guard.h"
#include "platform/host/host.h"
#include "platform/pixels/pixel_convert.h"

namespace {

WPARAM virtualKey(SDL_Keycode key) {
  if (key == SDLK_ESCAPE) return VK_ESCAPE;
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<WPARAM>(key - SDLK_F1);
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<WPARAM>(key - SDLK_a);
  if ((key >= SDLK_0 && key <= SDLK_9) || key == SDLK_SPACE) return static_cast<WPARAM>(key);
  if (key == SDLK_RETURN) return 0x0D;
  return 0;
}

// Whether presents on `renderer` wait for the display's retrace. SDL reports a renderer asked for
// vsync as synced even when its driver would not sync and SDL sleeps after each present instead;
// only a GL swap interval that took is a wait for the retrace.
bool WaitsForRetrace(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_PRESENTVSYNC) == 0 ||
      (info.flags & SDL_RENDERER_SOFTWARE) != 0 || info.name == nullptr) {
    return false;
  }
  if (std::strncmp(info.name, "opengl", 6) == 0) return SDL_GL_GetSwapInterval() != 0;
  return true;
}

}  // namespace

SdlBackend::SdlBackend(const ViewerSettings& settings) : settings_(settings) {}

SdlBackend::~SdlBackend() { DestroyMainWindow(); }

bool SdlBackend::CreateMainWindow(const char* title, int width, int height, bool popup) {
  fullScreen_ = popup;
  popupWidth_ = width;
  popupHeight_ = height;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
  if (popup) {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    // A window manager makes a full-screen window cover the screen; without one (a kiosk, a bare
    // X session) the window keeps the size it was made with while SDL draws for the screen's, so
    // it is made as big as the screen in the first place.
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(0, &screen) == 0) {
      x = screen.x;
      y = screen.y;
      width = screen.w;
      height = screen.h;
    }
  }
  window_ = SDL_CreateWindow(title, x, y, width, height, flags);
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
  const Uint32 vsync = settings_.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | vsync);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | vsync);
  if (renderer_ == nullptr) {
    std::fprintf(stderr, "kaleth: cannot draw into the window: %s\n", SDL_GetError());
    DestroyMainWindow();
    return false;
  }
  // A software renderer has no retrace to wait for; whether an accelerated one really waits is
  // seen from how soon its presents return.
  RefreshPacer::Mode mode = RefreshPacer::Mode::kOff;
  if (settings_.vsync) {
    mode = WaitsForRetrace(renderer_) ? RefreshPacer::Mode::kVsync : RefreshPacer::Mode::kPaced;
    // SDL's own stand-in wait rounds the refresh to whole milliseconds (16 ms, 62.5 frames a
    // second at 60 Hz); the pacer keeps the display's period instead.
    if (mode == RefreshPacer::Mode::kPaced) SDL_RenderSetVSync(renderer_, 0);
  }
  SDL_DisplayMode display{};
  if (SDL_GetWindowDisplayMode(window_, &display) != 0 || display.refresh_rate <= 0) {
    const int index = SDL_GetWindowDisplayIndex(window_);
    if (index < 0 || SDL_GetCurrentDisplayMode(index, &display) != 0) display.refresh_rate = 0;
  }
  pacer_ = std::make_unique<RefreshPacer>(SteadyPresentClock(), mode, display.refresh_rate);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

void SdlBackend::DestroyMainWindow() {
  if (sharp_) SDL_DestroyTexture(sharp_);
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  sharp_ = nullptr;
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  textureWidth_ = textureHeight_ = sharpWidth_ = sharpHeight_ = 0;
}

void SdlBackend::ClientArea(int* width, int* height) {
  *width = 0;
  *height = 0;
  if (fullScreen_) {
    // The full-screen window is made as large as the display it covers.
    *width = popupWidth_;
    *height = popupHeight_;
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

void SdlBackend::Sleep(std::uint32_t milliseconds) {
  report_.Paused();
  SDL_Delay(milliseconds);
}

void SdlBackend::ShowBox(const char* text, const char* caption, bool owned) {
  std::fprintf(stderr, "[%s] %s\n", caption, text);
  BoxGuard guard;
  SDL_ShowSimpleMessageBox(0, caption, text, owned ? window_ : nullptr);
}

void SdlBackend::Present(const FrameView& frame) {
  if (renderer_ == nullptr || frame.width <= 0 || frame.height <= 0 || !Upload(frame)) return;
  int outputWidth = 0, outputHeight = 0;
  SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
  int x = 0, y = 0, width = outputWidth, height = outputHeight;
  if (fullScreen_) {
    // The 4:3 picture as large as the screen allows, keeping its shape, with black bars.
    if (outputWidth * frame.height > outputHeight * frame.width) {
      width = outputHeight * frame.width / frame.height;
      x = (outputWidth - width) / 2;
    } else {
      height = outputWidth * frame.height / frame.width;
      y = (outputHeight - height) / 2;
    }
  }
  SDL_RenderClear(renderer_);
  Draw(frame, x, y, width, height);
  pacer_->BeforePresent();
  SDL_RenderPresent(renderer_);
  pacer_->AfterPresent();
  report_.Shown(SteadyPresentClock().NowMicroseconds());
}

bool SdlBackend::Upload(const FrameView& frame) {
  if (texture_ == nullptr || textureWidth_ != frame.width || textureHeight_ != frame.height) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, frame.width,
                                 frame.height);
    textureWidth_ = frame.width;
    textureHeight_ = frame.height;
    if (texture_ == nullptr) return false;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return false;
  ConvertToXrgb(frame, static_cast<std::uint8_t*>(pixels), pitch);
  SDL_UnlockTexture(texture_);
  return true;
}

void SdlBackend::Draw(const FrameView& frame, int targetX, int targetY, int targetWidth, int targetHeight) {
  const SDL_Rect target{targetX, targetY, targetWidth, targetHeight};
  // Sharp: enlarge by the largest whole factor without smoothing, so every picture pixel becomes
  // the same square, and smooth only the rest of the way; at a whole factor that is all there is.
  const int factor = std::min(targetWidth / frame.width, targetHeight / frame.height);
  const bool whole = targetWidth == factor * frame.width && targetHeight == factor * frame.height;
  ScaleFilter filter = settings_.scale;
  if (filter == ScaleFilter::kSharp && (whole || factor < 2)) filter = whole ? ScaleFilter::kNearest : ScaleFilter::kLinear;
  if (filter == ScaleFilter::kSharp) {
    SDL_Texture* sharp = SharpTexture(factor * frame.width, factor * frame.height);
    if (sharp != nullptr && SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest) == 0 &&
        SDL_SetRenderTarget(renderer_, sharp) == 0) {
      SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
      SDL_SetRenderTarget(renderer_, nullptr);
      SDL_RenderCopy(renderer_, sharp, nullptr, &target);
      return;
    }
    filter = ScaleFilter::kLinear;  // a renderer that cannot draw into a texture
  }
  SDL_SetTextureScaleMode(texture_, filter == ScaleFilter::kNearest ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
}

SDL_Texture* SdlBackend::SharpTexture(int width, int height) {
  if (sharp_ != nullptr && sharpWidth_ == width && sharpHeight_ == height) return sharp_;
  if (sharp_ != nullptr) SDL_DestroyTexture(sharp_);
  sharp_ = nullptr;
  sharpWidth_ = sharpHeight_ = 0;
  if (!SDL_RenderTargetSupported(renderer_)) return nullptr;
  sharp_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
  if (sharp_ == nullptr) return nullptr;
  SDL_SetTextureScaleMode(sharp_, SDL_ScaleModeLinear);
  sharpWidth_ = width;
  sharpHeight_ = height;
  return sharp_;
}

std::string SdlBackend::FrameReportLine(double wallSeconds) const {
  const std::int64_t refresh = pacer_ ? pacer_->RefreshMicroseconds() : 1000000 / kAssumedRefreshHz;
  return report_.Line(refresh, host::CpuSeconds(), wallSeconds, pacer_ ? pacer_->Describe() : "no window");
}
