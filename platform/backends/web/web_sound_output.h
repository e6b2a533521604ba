// The browser's output: the page's audio node asks for sound a buffer at a time, between the
// program's frames, saying how much it has still to play before that buffer. In an AudioWorklet
// that is what its ring holds (it asks for the next while it still holds nearly three buffers, so
// that a long frame does not starve it); a script processor plays each buffer after the one it is
// playing. As on a sound device, a note's syncs fire when it is heard, within a buffer.
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

  // The next `frames` frames of interleaved 16-bit stereo, for the page's node, which has `queued`
  // frames made earlier still to play.
  const std::int16_t* Fill(int frames, int queued);

 private:
  explicit WebSoundOutput(SoundSource* source) : source_(source) {}

  SoundSource* source_;
  std::vector<std::int16_t> buffer_;
};
