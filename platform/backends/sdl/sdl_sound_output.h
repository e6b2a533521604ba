// The real-time output: an SDL audio device whose thread asks for sound a buffer at a time. The
// device calls for a buffer when it has one left to play, so that one is queued ahead of every
// request, and each note's syncs wait until it is heard (see SoundSource::Render).
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
  std::size_t queued_ = 0;  // the device's buffer, as SDL reports it
};

// The machine's sound device through SDL.
class SdlSoundDevice : public SoundDevice {
 public:
  ~SdlSoundDevice() override { CloseSoundOutput(); }
  SoundOutput* OpenSoundOutput(int rate, SoundSource* source) override;
  void CloseSoundOutput() override { output_.reset(); }

 private:
  std::unique_ptr<SdlSoundOutput> output_;
};
