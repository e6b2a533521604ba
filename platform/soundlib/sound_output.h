// The seam between the sound library and the machine: a sound device opens an output, and the
// output asks the library for sound as it goes out (a device's audio thread, or the headless
// virtual clock). The sound device is a seam of its own, apart from the window backend, as SDL
// keeps audio apart from video; the executable installs both.
#pragma once

#include <cstddef>
#include <cstdint>

class SoundSource {
 public:
  virtual ~SoundSource() = default;
  // Fills `count` frames of interleaved 16-bit stereo; `frames` may be null when nobody listens.
  // `queued` frames made earlier are still on their way to the speaker when this is asked for.
  // A note's syncs are called when its first frame is heard: among these frames when nothing is
  // queued, otherwise during the later request at which the speaker is nearest to it.
  virtual void Render(std::int16_t* frames, std::size_t count, std::size_t queued) = 0;
};

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // From now on the output asks its source for sound.
  virtual void Start() = 0;
  // False when nobody will hear or keep the sound, so it need not be mixed.
  virtual bool Audible() const = 0;
};

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // Opens the output at `rate` frames a second (16-bit stereo), which asks `source` for its sound
  // once started; null when there is no device for it. The device owns the output until
  // CloseSoundOutput or its own end.
  virtual SoundOutput* OpenSoundOutput(int rate, SoundSource* source) = 0;
  virtual void CloseSoundOutput() = 0;
};

// The executable installs its sound device before the system code runs; without one the library
// finds no device.
void SetSoundDevice(SoundDevice* device);
SoundDevice* ActiveSoundDevice();

// Not a library call: closes the output and forgets the module, the syncs and the error, so that
// a process can run the program more than once (tests) and end its sound before its device.
void ResetSoundLibrary();
