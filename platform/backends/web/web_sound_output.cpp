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
extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* kaleth_web_sound_fill(int frames) {
  return activeOutput != nullptr ? activeOutput->Fill(frames) : nullptr;
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

const std::int16_t* WebSoundOutput::Fill(int frames) {
  if (frames <= 0) return nullptr;
  buffer_.resize(static_cast<std::size_t>(frames) * 2);
  // The node asks for the buffer that plays after the one the speaker is playing now.
  source_->Render(buffer_.data(), static_cast<std::size_t>(frames), static_cast<std::size_t>(frames));
  return buffer_.data();
}
