// The offline output: sound made in step with a virtual clock instead of a device. Each frame
// is rendered as soon as the clock passes its time, so a note's sync fires exactly then and a
// run gives the same sound and the same syncs every time.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/soundlib/sound_output.h"

// What the offline output keeps of its sound, for a WAV file.
struct KeptSound {
  // How much to keep from the moment the output starts; 0 keeps nothing, and then the sound is
  // not even mixed (the syncs fire all the same).
  std::uint64_t keepMilliseconds = 0;
  int rate = 0;
  std::vector<std::int16_t> frames;  // interleaved stereo
};

class OfflineSoundOutput : public SoundOutput {
 public:
  OfflineSoundOutput(int rate, SoundSource* source, std::uint64_t nowMicroseconds, KeptSound* kept);

  void Start() override;
  bool Audible() const override { return kept_->keepMilliseconds > 0; }

  // The clock now reads `nowMicroseconds`: renders every frame whose time has come.
  void Advance(std::uint64_t nowMicroseconds);

 private:
  int rate_;
  SoundSource* source_;
  KeptSound* kept_;
  std::uint64_t now_;
  bool started_ = false;
  std::uint64_t startMicroseconds_ = 0;
  std::uint64_t framesRendered_ = 0;
};
