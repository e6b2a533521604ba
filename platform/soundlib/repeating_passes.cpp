#include "platform/soundlib/repeating_passes.h"

namespace {

constexpr int kExtendedEffect = 0x0E;
constexpr int kPatternLoop = 0x06;

bool IsPatternLoop(int type, int parameter) { return type == kExtendedEffect && (parameter >> 4) == kPatternLoop; }

}  // namespace

bool RepeatingPasses::Possible(const xmp_module& module) {
  if (module.xxt == nullptr) return false;
  for (int t = 0; t < module.trk; ++t) {
    const xmp_track* track = module.xxt[t];
    if (track == nullptr) continue;
    for (int r = 0; r < track->rows; ++r) {
      const xmp_event& e = track->event[r];
      if (IsPatternLoop(e.fxt, e.fxp) || IsPatternLoop(e.f2t, e.f2p)) return false;
    }
  }
  return true;
}

void RepeatingPasses::Reset(bool watch) {
  *this = RepeatingPasses{};
  watch_ = watch;
}

void RepeatingPasses::Tick(std::uint64_t start, std::uint64_t end, const xmp_frame_info& info,
                           const std::vector<int>& instruments, const std::vector<SoundingNote>& notes) {
  if (!watch_) return;
  if (passFrames_ != 0) {
    // Played passes keep their place: the next repeat starts where the player starts a pass.
    if (info.loop_count != loops_) passStart_ = end;
    loops_ = info.loop_count;
    return;
  }
  for (const SoundingNote& note : notes) notes_.push_back(TimedNote{start - passStart_, note});
  if (info.loop_count == loops_) return;
  loops_ = info.loop_count;
  // The player is back at the start of its loop. The rows, the tempo and the channels'
  // instruments are all that the notes to come depend on.
  State state{info.pos, info.row, info.speed, info.bpm, instruments};
  if (haveState_ && state == state_) {
    // The notes logged ran from the end of the last pass's first tick to the end of this one.
    passFrames_ = end - passStart_;
    passNotes_ = notes_;
  }
  haveState_ = true;
  state_ = std::move(state);
  passStart_ = end;
  notes_.clear();
}

std::uint64_t RepeatingPasses::PassStartingAt(std::uint64_t position) const {
  return passFrames_ != 0 && position == passStart_ ? passFrames_ : 0;
}

void RepeatingPasses::Skipped() { passStart_ += passFrames_; }
