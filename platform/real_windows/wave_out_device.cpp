#include "platform/real_windows/wave_out_device.h"

#include <cstdio>
#include <cstring>

WaveOutSoundOutput::WaveOutSoundOutput(int rate, SoundSource* source)
    : rate_(rate), source_(source), samples_(static_cast<std::size_t>(kBuffers) * kBufferFrames * 2) {}

std::unique_ptr<WaveOutSoundOutput> WaveOutSoundOutput::Open(int rate, SoundSource* source) {
  std::unique_ptr<WaveOutSoundOutput> output(new WaveOutSoundOutput(rate, source));
  output->played_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (output->played_ == nullptr) {
    std::fprintf(stderr, "kaleth: no sound: cannot create an event (error %lu)\n", GetLastError());
    return nullptr;
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  const MMRESULT opened = waveOutOpen(&output->device_, WAVE_MAPPER, &format,
                                      reinterpret_cast<DWORD_PTR>(output->played_), 0, CALLBACK_EVENT);
  if (opened != MMSYSERR_NOERROR) {
    char reason[MAXERRORLENGTH] = "";
    waveOutGetErrorTextA(opened, reason, sizeof(reason));
    std::fprintf(stderr, "kaleth: no sound device for %d Hz: %s\n", rate, reason);
    output->device_ = nullptr;
    return nullptr;
  }
  for (int i = 0; i < kBuffers; ++i) {
    WAVEHDR& header = output->headers_[i];
    header.lpData = reinterpret_cast<LPSTR>(output->samples_.data() + static_cast<std::size_t>(i) * kBufferFrames * 2);
    header.dwBufferLength = kBufferFrames * 4;
    waveOutPrepareHeader(output->device_, &header, sizeof(header));
  }
  return output;
}

void WaveOutSoundOutput::Stop() {
  stopping_ = true;
  if (played_ != nullptr) SetEvent(played_);
  if (feeder_.joinable()) feeder_.join();
}

WaveOutSoundOutput::~WaveOutSoundOutput() {
  Stop();
  if (device_ != nullptr) {
    // Reset hands every queued buffer back at once, so that none is still the device's when freed.
    waveOutReset(device_);
    for (WAVEHDR& header : headers_) waveOutUnprepareHeader(device_, &header, sizeof(header));
    waveOutClose(device_);
  }
  if (played_ != nullptr) CloseHandle(played_);
}

void WaveOutSoundOutput::Start() {
  if (feeder_.joinable()) return;
  feeder_ = std::thread([this] { Feed(); });
}

void WaveOutSoundOutput::Fill(int buffer, std::size_t queued) {
  WAVEHDR& header = headers_[buffer];
  source_->Render(reinterpret_cast<std::int16_t*>(header.lpData), kBufferFrames, queued);
  header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  waveOutWrite(device_, &header, sizeof(header));
}

void WaveOutSoundOutput::Feed() {
  // A buffer mixed late is a gap heard, a frame drawn late is not.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  // At the start every buffer is made at once, each behind the ones before it.
  for (int i = 0; i < kBuffers; ++i) Fill(i, static_cast<std::size_t>(i) * kBufferFrames);
  int next = 0;  // the device plays the buffers in the order they were written
  while (!stopping_) {
    WaitForSingleObject(played_, 50);
    bool dry = true;
    for (const WAVEHDR& header : headers_) dry = dry && (header.dwFlags & WHDR_DONE) != 0;
    if (dry) ++runDry_;
    while (!stopping_ && (headers_[next].dwFlags & WHDR_DONE) != 0) {
      lastPlayed_ = std::chrono::steady_clock::now();
      if (playedBuffers_++ == 0) firstPlayed_ = lastPlayed_;
      Fill(next, static_cast<std::size_t>(kBuffers - 1) * kBufferFrames);
      next = (next + 1) % kBuffers;
    }
  }
}

std::string WaveOutSoundOutput::Report() const {
  const double seconds = std::chrono::duration<double>(lastPlayed_ - firstPlayed_).count();
  const double heard = playedBuffers_ > 1 ? static_cast<double>(playedBuffers_ - 1) * kBufferFrames / rate_ : 0.0;
  char text[200];
  std::snprintf(text, sizeof(text),
                "sound: %llu buffers of %d frames played in %.2f s, %.3f times real time, ran dry %llu times",
                static_cast<unsigned long long>(playedBuffers_), kBufferFrames, seconds,
                seconds > 0 ? heard / seconds : 0.0, static_cast<unsigned long long>(runDry_));
  return text;
}

SoundOutput* WaveOutSoundDevice::OpenSoundOutput(int rate, SoundSource* source) {
  CloseSoundOutput();
  output_ = WaveOutSoundOutput::Open(rate, source);
  return output_.get();
}

void WaveOutSoundDevice::CloseSoundOutput() {
  if (output_ == nullptr) return;
  output_->Stop();
  report_ = output_->Report();
  output_.reset();
}
