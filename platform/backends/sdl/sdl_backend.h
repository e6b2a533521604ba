// The sdl backend: a real window, keyboard and close box, SDL's clock and message boxes, and the
// picture scaled to the window or the screen. A present waits for the display's refresh (see
// RefreshPacer) and is counted in the frame report.
#pragma once

#include <memory>
#include <string>

#include "platform/windows/backend.h"
#include "platform/backends/frame_report.h"
#include "platform/backends/refresh_pacer.h"
#include "platform/backends/viewer_settings.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

class SdlBackend : public WindowsBackend {
 public:
  explicit SdlBackend(const ViewerSettings& settings);
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

  // The frame report's line for the run so far, `wallSeconds` into the process.
  std::string FrameReportLine(double wallSeconds) const;

 private:
  bool Upload(const FrameView& frame);
  // Draws the uploaded picture into `target` of the renderer's output with the chosen filter.
  void Draw(const FrameView& frame, int targetX, int targetY, int targetWidth, int targetHeight);
  SDL_Texture* SharpTexture(int width, int height);

  ViewerSettings settings_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  // Sharp scaling: the picture enlarged by a whole factor, then smoothed the rest of the way.
  SDL_Texture* sharp_ = nullptr;
  int sharpWidth_ = 0;
  int sharpHeight_ = 0;
  int popupWidth_ = 0;  // the full-screen window's size, as the display it covers
  int popupHeight_ = 0;
  bool fullScreen_ = false;
  std::unique_ptr<RefreshPacer> pacer_;
  FrameReport report_;
};
