#include "platform/backends/sdl/sdl_sound_output.h"

#include <cstdio>

std::unique_ptr<SdlSoundOutput> SdlSoundOutput::Open(int rate, SoundSource* source) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "kaleth: no sound: %s\n", SDL_GetError());
    return nullptr;
  }
  std::unique_ptr<SdlSoundOutput> output(new SdlSoundOutput(0, source));
  SDL_AudioSpec wanted{};
  wanted.freq = rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = kBufferFrames;
  wanted.callback = Fill;
  wanted.userdata = output.get();
  // No changes allowed: SDL converts for a device that differs, so the sound is made at `rate`.
  SDL_AudioSpec obtained{};
  output->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (output->device_ == 0) {
    std::fprintf(stderr, "kaleth: no sound device for %d Hz: %s\n", rate, SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  output->queued_ = obtained.samples;
  return output;
}

SdlSoundOutput::~SdlSoundOutput() {
  // Closing waits for the audio thread to finish its buffer; no request comes after.
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSoundOutput::Start() { SDL_PauseAudioDevice(device_, 0); }

void SdlSoundOutput::Fill(void* output, Uint8* stream, int bytes) {
  auto* self = static_cast<SdlSoundOutput*>(output);
  self->source_->Render(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(bytes) / (2 * sizeof(std::int16_t)),
                        self->queued_);
}

SoundOutput* SdlSoundDevice::OpenSoundOutput(int rate, SoundSource* source) {
  output_ = SdlSoundOutput::Open(rate, source);
  return output_.get();
}
