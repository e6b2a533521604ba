#include "platform/backends/web/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/pixels/pixel_convert.h"

namespace {

WebBackend* keyTarget = nullptr;

WPARAM VirtualKey(const EmscriptenKeyboardEvent& event) {
  if (std::strcmp(event.key, "Escape") == 0) return VK_ESCAPE;
  if (event.key[0] == 'F' && event.key[1] >= '1' && event.key[1] <= '9') {
    const int number = std::atoi(event.key + 1);
    if (number >= 1 && number <= 12) return VK_F1 + static_cast<WPARAM>(number - 1);
  }
  return 0;
}

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
  if (keyTarget == nullptr || event->repeat) return EM_FALSE;
  const WPARAM key = VirtualKey(*event);
  if (key == 0) return EM_FALSE;
  keyTarget->Queue(WM_KEYDOWN, key);
  // The browser's own use of F1 (help) and Escape (leaving full screen) gives way to the program.
  return EM_TRUE;
}

// The page (kaleth-page.js) owns the canvas and the message panel.
EM_JS(void, PutCanvasPixels, (const std::uint8_t* rgba, int width, int height), {
  Module.kalethPage.showPixels(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_ASYNC_JS(void, WaitForAnimationFrame, (), {
  await new Promise((resolve) => requestAnimationFrame(resolve));
});
EM_ASYNC_JS(void, ShowPageBox, (const char* text, const char* caption), {
  await Module.kalethPage.showBox(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(void, SetPageTitle, (const char* title), { Module.kalethPage.setTitle(UTF8ToString(title)); });
EM_JS(void, SetCanvasCursor, (int shown), { Module.kalethPage.showCursor(shown != 0); });

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void kaleth_web_stop() {
  if (keyTarget != nullptr) keyTarget->Queue(WM_CLOSE, 0);
}

WebBackend::WebBackend() {
  keyTarget = this;
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, OnKeyDown);
}

WebBackend::~WebBackend() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, nullptr);
  keyTarget = nullptr;
  CloseSoundOutput();
}

bool WebBackend::CreateMainWindow(const char* title, int width, int height, bool popup) {
  // The page is the window, a popup or a window of the size asked for (the page draws no frame).
  (void)popup;
  clientWidth_ = width;
  clientHeight_ = height;
  SetPageTitle(title);
  return true;
}

void WebBackend::DestroyMainWindow() {}

void WebBackend::ClientArea(int* width, int* height) {
  *width = clientWidth_;
  *height = clientHeight_;
}

POINT WebBackend::ClientOrigin() { return POINT{0, 0}; }

void WebBackend::ShowCursor(bool shown) { SetCanvasCursor(shown ? 1 : 0); }

void WebBackend::PumpEvents() {
  for (const Pending& message : pending_) PostBackendMessage(message.message, message.wParam);
  pending_.clear();
}

std::uint32_t WebBackend::Milliseconds() {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
}

void WebBackend::Sleep(std::uint32_t milliseconds) {
  ShowPendingBoxes();
  emscripten_sleep(milliseconds);
}

void WebBackend::ShowBox(const char* text, const char* caption, bool) {
  std::fprintf(stderr, "[%s] %s\n", caption, text);
  boxes_.push_back({text, caption});
}

void WebBackend::ShowPendingBoxes() {
  // A box may be asked for while another is up (the page shows them in turn).
  for (std::size_t i = 0; i < boxes_.size(); ++i) ShowPageBox(boxes_[i].text.c_str(), boxes_[i].caption.c_str());
  boxes_.clear();
}

void WebBackend::Present(const FrameView& frame) {
  ShowPendingBoxes();
  ShowOnCanvas(frame, &rgba_);
  WaitForAnimationFrame();
}

SoundOutput* WebBackend::OpenSoundOutput(int rate, SoundSource* source) {
  soundOutput_ = WebSoundOutput::Open(rate, source);
  return soundOutput_.get();
}

void WebBackend::CloseSoundOutput() { soundOutput_.reset(); }

void ShowOnCanvas(const FrameView& frame, std::vector<std::uint8_t>* rgba) {
  if (frame.width <= 0 || frame.height <= 0) return;
  const std::size_t pixels = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
  rgba->resize(pixels * 4);
  ConvertToXrgb(frame, rgba->data(), frame.width * 4);
  // 0x00RRGGBB in memory is B, G, R, 0; the canvas takes R, G, B, A.
  std::uint8_t* byte = rgba->data();
  for (std::size_t i = 0; i < pixels; ++i, byte += 4) {
    const std::uint8_t blue = byte[0];
    byte[0] = byte[2];
    byte[2] = blue;
    byte[3] = 255;
  }
  PutCanvasPixels(rgba->data(), frame.width, frame.height);
}
