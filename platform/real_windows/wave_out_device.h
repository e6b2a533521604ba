// The sound device where the machine's own Windows stands under the names: winmm's waveOut, fed
// by a thread of its own that mixes a buffer whenever the device has played one to its end.
// Several buffers are queued at every moment, so the mixing may be late by that much without a
// gap being heard, and each note's syncs wait until it is heard (see SoundSource::Render).
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/real_windows/sdk.h"
#include "platform/soundlib/sound_output.h"

class WaveOutSoundOutput : public SoundOutput {
 public:
  // Eight buffers of 1024 frames: 186 ms queued at 44,100 Hz, a new buffer every 23 ms. The
  // drawing keeps every processor busy, so the feeder needs that much room to be late in.
  static constexpr int kBufferFrames = 1024;
  static constexpr int kBuffers = 8;

  // Null (with the reason on stderr) when there is no device for 16-bit stereo at `rate`.
  static std::unique_ptr<WaveOutSoundOutput> Open(int rate, SoundSource* source);
  ~WaveOutSoundOutput() override;

  void Start() override;
  bool Audible() const override { return true; }
  // No request comes after this returns.
  void Stop();

  // After Stop: how the buffers went: how many the device played to their end, how fast against
  // the clock from the first to the last of them (1 is real time), and how often it ran dry.
  std::string Report() const;

 private:
  WaveOutSoundOutput(int rate, SoundSource* source);
  void Fill(int buffer, std::size_t queued);
  void Feed();

  int rate_;
  SoundSource* source_;
  HWAVEOUT device_ = nullptr;
  HANDLE played_ = nullptr;  // set by the device as each buffer ends
  std::array<WAVEHDR, kBuffers> headers_{};
  std::vector<std::int16_t> samples_;
  std::thread feeder_;
  std::atomic<bool> stopping_{false};
  std::uint64_t playedBuffers_ = 0;
  std::uint64_t runDry_ = 0;  // times every buffer had been played before the next was made
  std::chrono::steady_clock::time_point firstPlayed_, lastPlayed_;
};

// The machine's sound device through winmm.
class WaveOutSoundDevice : public SoundDevice {
 public:
  ~WaveOutSoundDevice() override { CloseSoundOutput(); }
  SoundOutput* OpenSoundOutput(int rate, SoundSource* source) override;
  void CloseSoundOutput() override;
  // The last output's report, kept when it closes; empty when none was opened.
  const std::string& Report() const { return report_; }

 private:
  std::unique_ptr<WaveOutSoundOutput> output_;
  std::string report_;
};
