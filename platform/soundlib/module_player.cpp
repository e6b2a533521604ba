#include "platform/soundlib/module_player.h"

#include <algorithm>
#include <cstring>

#include "platform/soundlib/xm_extent.h"

namespace {

constexpr std::size_t kChannelsPerFrame = 2;
constexpr std::size_t kBytesPerFrame = kChannelsPerFrame * sizeof(std::int16_t);

// libxmp's own tick clock: 10 (its time factor) x 250 (its base rate) / bpm / 1000 seconds.
constexpr double kTimeFactor = 10.0;
constexpr double kBaseRate = 250.0;

}  // namespace

std::size_t TickFrames(int rate, int bpm) {
  if (bpm <= 0) return 0;
  // The same operations in the same order as libxmp, so the truncation agrees to the frame.
  return static_cast<std::size_t>(rate * kTimeFactor * kBaseRate / bpm / 1000.0);
}

ModulePlayer::ModulePlayer(int rate, NoteListener listener)
    : rate_(rate), listener_(std::move(listener)), context_(xmp_create_context()) {}

ModulePlayer::~ModulePlayer() {
  if (context_ == nullptr) return;
  if (started_) xmp_end_player(context_);
  if (module_ != nullptr) xmp_release_module(context_);
  xmp_free_context(context_);
}

bool ModulePlayer::Load(const std::uint8_t* bytes, std::size_t size) {
  if (context_ == nullptr || module_ != nullptr || !XmModuleFits(bytes, size)) return false;
  if (xmp_load_module_from_memory(context_, bytes, static_cast<long>(size)) != 0) return false;
  xmp_module_info info{};
  xmp_get_module_info(context_, &info);
  // A module without channels has nothing to play, and libxmp's ticks through it last no time.
  if (info.mod == nullptr || info.mod->chn < 1) {
    xmp_release_module(context_);
    return false;
  }
  module_ = info.mod;
  return true;
}

int ModulePlayer::Instruments() const { return module_ ? module_->ins : 0; }

void ModulePlayer::Start(bool looping, bool audible) {
  if (module_ == nullptr) return;
  looping_ = looping;
  audible_ = audible;
  started_ = xmp_start_player(context_, audible ? rate_ : XMP_MIN_SRATE, 0) == 0;
  ended_ = !started_;
  tick_ = nullptr;
  tickSound_ = tickFrames_ = tickUsed_ = 0;
  position_ = 0;
  notes_.Reset();
  passes_.Reset(!audible && looping && RepeatingPasses::Possible(*module_));
  if (started_ && !audible) {
    for (int channel = 0; channel < module_->chn; ++channel) xmp_channel_mute(context_, channel, 1);
  }
}

bool ModulePlayer::PlayTick() {
  if (ended_) return false;
  if (xmp_play_frame(context_) != 0) {
    ended_ = true;
    return false;
  }
  xmp_get_frame_info(context_, &info_);
  // The tick that starts the module over again belongs to the next pass, which a module that
  // does not loop never plays.
  if (!looping_ && info_.loop_count > 0) {
    ended_ = true;
    return false;
  }
  tickFrames_ = TickFrames(rate_, info_.bpm);
  if (tickFrames_ == 0) {
    // A tick that lasts no time never moves the music on: the module cannot be played further.
    tickUsed_ = 0;
    ended_ = true;
    return false;
  }
  sounding_.clear();
  notes_.Tick(*module_, info_, &sounding_);
  for (const SoundingNote& note : sounding_) listener_(note);
  passes_.Tick(position_, position_ + tickFrames_, info_, notes_.Instruments(), sounding_);
  tick_ = audible_ ? static_cast<const std::int16_t*>(info_.buffer) : nullptr;
  tickSound_ = tick_ != nullptr && info_.buffer_size > 0 ? static_cast<std::size_t>(info_.buffer_size) / kBytesPerFrame : 0;
  tickUsed_ = 0;
  return true;
}

void ModulePlayer::Render(std::int16_t* frames, std::size_t count) {
  while (count > 0) {
    const std::uint64_t pass = tickUsed_ == tickFrames_ ? passes_.PassStartingAt(position_) : 0;
    if (pass != 0 && pass <= count) {
      for (const TimedNote& timed : passes_.PassNotes()) listener_(timed.note);
      passes_.Skipped();
      if (frames != nullptr) {
        std::memset(frames, 0, pass * kBytesPerFrame);
        frames += pass * kChannelsPerFrame;
      }
      position_ += pass;
      count -= static_cast<std::size_t>(pass);
      continue;
    }
    if (tickUsed_ == tickFrames_ && !PlayTick()) {
      if (frames != nullptr) std::memset(frames, 0, count * kBytesPerFrame);
      return;
    }
    const std::size_t taken = std::min(count, tickFrames_ - tickUsed_);
    if (frames != nullptr) {
      // libxmp's tick is as long as the timeline's (TickFrames); should it ever be shorter, the
      // rest of the tick is silence rather than a shift of everything after it.
      const std::size_t sound = tickUsed_ < tickSound_ ? std::min(taken, tickSound_ - tickUsed_) : 0;
      if (sound > 0) std::memcpy(frames, tick_ + tickUsed_ * kChannelsPerFrame, sound * kBytesPerFrame);
      std::memset(frames + sound * kChannelsPerFrame, 0, (taken - sound) * kBytesPerFrame);
      frames += taken * kChannelsPerFrame;
    }
    tickUsed_ += taken;
    position_ += taken;
    count -= taken;
  }
}
