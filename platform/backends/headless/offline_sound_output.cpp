#include "platform/backends/headless/offline_sound_output.h"

#include <algorithm>

OfflineSoundOutput::OfflineSoundOutput(int rate, SoundSource* source, std::uint64_t nowMicroseconds, KeptSound* kept)
    : rate_(rate), source_(source), kept_(kept), now_(nowMicroseconds) {
  kept_->rate = rate;
  kept_->frames.clear();
}

void OfflineSoundOutput::Start() {
  if (started_) return;
  started_ = true;
  startMicroseconds_ = now_;
}

void OfflineSoundOutput::Advance(std::uint64_t nowMicroseconds) {
  now_ = nowMicroseconds;
  if (!started_) return;
  // Frame n sounds n / rate seconds after the start; it is due once the clock has passed that.
  const std::uint64_t due = ((now_ - startMicroseconds_) * static_cast<std::uint64_t>(rate_) + 999999u) / 1000000u;
  if (due <= framesRendered_) return;
  const std::uint64_t keepFrames = kept_->keepMilliseconds * static_cast<std::uint64_t>(rate_) / 1000u;
  if (framesRendered_ < keepFrames) {
    const std::uint64_t kept = std::min(due, keepFrames) - framesRendered_;
    const std::size_t at = kept_->frames.size();
    kept_->frames.resize(at + kept * 2);
    source_->Render(kept_->frames.data() + at, kept, 0);
    framesRendered_ += kept;
  }
  if (due > framesRendered_) {
    source_->Render(nullptr, due - framesRendered_, 0);
    framesRendered_ = due;
  }
}
