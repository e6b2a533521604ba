// A module that loops plays the same pass over and over once it starts a pass in the same state
// as the one before. When nobody listens, the notes of such passes can be given without playing
// them: a virtual clock that jumps hours ahead costs one pass, not hours of ticks.
#pragma once

#include <xmp.h>

#include <cstdint>
#include <vector>

#include "platform/soundlib/instrument_notes.h"

struct TimedNote {
  std::uint64_t offset;  // frames from the pass's start
  SoundingNote note;
};

class RepeatingPasses {
 public:
  // False when the module has pattern loops, whose counters the player keeps to itself: then
  // what the player shows between ticks does not tell everything that comes next.
  static bool Possible(const xmp_module& module);

  // Forgets every pass; `watch` says whether to look for repeats at all.
  void Reset(bool watch);
  // After each tick: its frames [start, end), the player's state after it, the channels'
  // instruments and the notes that sounded in it.
  void Tick(std::uint64_t start, std::uint64_t end, const xmp_frame_info& info, const std::vector<int>& instruments,
            const std::vector<SoundingNote>& notes);
  // The frames of one pass when a pass that repeats starts at `position`; 0 otherwise.
  std::uint64_t PassStartingAt(std::uint64_t position) const;
  // The notes of that pass, in order.
  const std::vector<TimedNote>& PassNotes() const { return passNotes_; }
  // A pass was given without playing it.
  void Skipped();

 private:
  struct State {
    int pos, row, speed, bpm;
    std::vector<int> instruments;
    bool operator==(const State&) const = default;
  };

  bool watch_ = false;
  int loops_ = 0;
  bool haveState_ = false;
  State state_{};             // after the tick that began the last pass
  std::uint64_t passStart_ = 0;  // the end of that tick
  std::vector<TimedNote> notes_;  // since then
  std::uint64_t passFrames_ = 0;  // non-zero once a pass is known to repeat
  std::vector<TimedNote> passNotes_;
};
