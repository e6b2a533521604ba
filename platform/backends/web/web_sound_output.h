// The browser's output: a Web Audio node of the page asks for sound a buffer at a time, between
// the program's frames. The buffer asked for plays after the one the speaker is playing, so that
// one is what is queued: as on a sound device, a note's syncs fire when it is heard, within a
// buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/soundlib/sound_output.h"

class WebSoundOutput : public SoundOutput {
 public:
  // Frames per buffer: 2048 at 44,100 Hz is 46 ms, enough to outlast the longest frame.
  static constexpr int kBufferFrames = 2048;

  // Null (with the reason on the console) when the page has no audio context at `rate`.
  static std::unique_ptr<WebSoundOutput> Open(int rate, SoundSource* source);
  ~WebSoundOutput() override;

  void Start() override;
  bool Audible() const override { return true; }

  // The next `frames` frames of interleaved 16-bit stereo, for the page's node.
  const std::int16_t* Fill(int frames);

 private:
  explicit WebSoundOutput(SoundSource* source) : source_(source) {}

  SoundSource* source_;
  std::vector<std::int16_t> buffer_;
};
