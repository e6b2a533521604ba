// The seam between the sound library and the machine: the window backend opens an output, and
// the output asks the library for sound as it goes out (a device's audio thread, or the headless
// virtual clock).
#pragma once

#include <cstddef>
#include <cstdint>

class SoundSource {
 public:
  virtual ~SoundSource() = default;
  // Fills `frames` frames of interleaved 16-bit stereo and calls the syncs of every note whose
  // first frame is among them. `frames` may be null when nobody listens: the syncs still fire.
  virtual void Render(std::int16_t* frames, std::size_t count) = 0;
};

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // From now on the output asks its source for sound.
  virtual void Start() = 0;
  // False when nobody will hear or keep the sound, so it need not be mixed.
  virtual bool Audible() const = 0;
};
