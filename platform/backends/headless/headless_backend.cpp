#include "platform/backends/headless/headless_backend.h"

#include <cstdio>

bool HeadlessBackend::CreateMainWindow(const char* title, int width, int height, bool popup) {
  windowTitle = title;
  windowExists = true;
  windowPopup = popup;
  popupWidth_ = width;
  popupHeight_ = height;
  return true;
}

void HeadlessBackend::DestroyMainWindow() { windowExists = false; }

void HeadlessBackend::ClientArea(int* width, int* height) {
  // A full-screen popup is made as large as the display it covers; a window has the configured
  // client area.
  *width = windowPopup ? popupWidth_ : clientWidth;
  *height = windowPopup ? popupHeight_ : clientHeight;
}

POINT HeadlessBackend::ClientOrigin() { return POINT{0, 0}; }

void HeadlessBackend::ShowCursor(bool shown) { cursorShown = shown; }

void HeadlessBackend::PumpEvents() {
  const std::int64_t now = scriptClock ? scriptClock() : static_cast<std::int64_t>(ElapsedMilliseconds());
  while (nextScripted_ < script.size() && script[nextScripted_].at <= now) {
    PostBackendMessage(script[nextScripted_].message, script[nextScripted_].wParam);
    ++nextScripted_;
  }
}

std::uint32_t HeadlessBackend::Milliseconds() {
  return clockStart + static_cast<std::uint32_t>(ElapsedMilliseconds());
}

void HeadlessBackend::Sleep(std::uint32_t milliseconds) {
  report.Paused();
  AdvanceClock(static_cast<std::uint64_t>(milliseconds) * 1000);
}

void HeadlessBackend::ShowBox(const char* text, const char* caption, bool owned) {
  boxes.push_back(RecordedBox{text, caption, owned});
  if (printBoxes) std::fprintf(stderr, "[%s] %s\n", caption, text);
}

void HeadlessBackend::Present(const FrameView& frame) {
  ++framesPresented;
  report.Shown(static_cast<std::int64_t>(elapsedMicroseconds_));
  if (onPresent) onPresent(frame, Milliseconds());
  AdvanceClock(frameStepMicroseconds);
}

// On a real clock the frame's time passes whether or not its picture was shown; without this a
// run whose every present fails would never reach its end.
void HeadlessBackend::PresentFailed() { AdvanceClock(frameStepMicroseconds); }

SoundOutput* HeadlessBackend::OpenSoundOutput(int rate, SoundSource* source) {
  soundOutput_ = std::make_unique<OfflineSoundOutput>(rate, source, elapsedMicroseconds_, &music);
  return soundOutput_.get();
}

void HeadlessBackend::CloseSoundOutput() { soundOutput_.reset(); }

void HeadlessBackend::AdvanceClock(std::uint64_t microseconds) {
  elapsedMicroseconds_ += microseconds;
  // The music keeps up with the clock, so whatever reads the beat flags next sees every note
  // that has sounded by now.
  if (soundOutput_) soundOutput_->Advance(elapsedMicroseconds_);
}
