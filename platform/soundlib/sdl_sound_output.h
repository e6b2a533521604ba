// The real-time output: an SDL audio device whose thread asks for sound a buffer at a time. A
// note's sync fires while the buffer that holds the note's first frame is filled, so it is never
// late, and early by at most the one buffer plus whatever the device still has queued.
#pragma once

#include <SDL.h>

#include <memory>

#include "platform/soundlib/sound_output.h"

class SdlSoundOutput : public SoundOutput {
 public:
  // Frames per buffer: 1024 at 44,100 Hz is 23 ms.
  static constexpr int kBufferFrames = 1024;

  // Null (with the reason on stderr) when SDL has no device for 16-bit stereo at `rate`.
  static std::unique_ptr<SdlSoundOutput> Open(int rate, SoundSource* source);
  ~SdlSoundOutput() override;

  void Start() override;
  bool Audible() const override { return true; }

 private:
  SdlSoundOutput(SDL_AudioDeviceID device, SoundSource* source) : device_(device), source_(source) {}
  static void Fill(void* output, Uint8* stream, int bytes);

  SDL_AudioDeviceID device_;
  SoundSource* source_;
};
