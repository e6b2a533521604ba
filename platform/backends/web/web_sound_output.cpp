#include "platform/backends/web/web_sound_output.h"

#include <emscripten.h>

#include <cstdio>

namespace {

WebSoundOutput* activeOutput = nullptr;

EM_JS(int, OpenPageSound, (int rate, int bufferFrames), { return Module.kalethPage.openSound(rate, bufferFrames); });
EM_JS(void, StartPageSound, (), { Module.kalethPage.startSound(); });
EM_JS(void, ClosePageSound, (), { Module.kalethPage.closeSound(); });

}  // namespace

// Called by the page's audio node; null while no output is open.
extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* kaleth_web_sound_fill(int frames, int queued) {
  return activeOutput != nullptr ? activeOutput->Fill(frames, queued) : nullptr;
}

std::unique_ptr<WebSoundOutput> WebSoundOutput::Open(int rate, SoundSource* source) {
  if (!OpenPageSound(rate, kBufferFrames)) {
    std::fprintf(stderr, "kaleth: no sound: the page has no audio output at %d Hz\n", rate);
    return nullptr;
  }
  std::unique_ptr<WebSoundOutput> output(new WebSoundOutput(source));
  activeOutput = output.get();
  return output;
}

WebSoundOutput::~WebSoundOutput() {
  ClosePageSound();
  activeOutput = nullptr;
}

void WebSoundOutput::Start() { StartPageSound(); }

const std::int16_t* WebSoundOutput::Fill(int frames, int queued) {
  if (frames <= 0 || queued < 0) return nullptr;
  buffer_.resize(static_cast<std::size_t>(frames) * 2);
  source_->Render(buffer_.data(), static_cast<std::size_t>(frames), static_cast<std::size_t>(queued));
  return buffer_.data();
}
