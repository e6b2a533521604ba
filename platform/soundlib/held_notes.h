// Notes whose syncs wait until the note is heard. A real-time output asks for its sound a buffer
// or more before the speaker plays it; a flag flipped while the note is mixed would lead its beat
// by that much.
#pragma once

#include <cstdint>
#include <deque>

#include "platform/soundlib/instrument_notes.h"

class HeldNotes {
 public:
  // Holds a note whose first frame is `frame`, counted from the first frame the source made.
  // Notes arrive in the order of their frames.
  void Hold(std::int64_t frame, const SoundingNote& note) { held_.push_back(Held{frame, note}); }

  // Hands `call` every held note whose frame is at or before `frame`, in order, and forgets it.
  template <typename Call>
  void Release(std::int64_t frame, Call call) {
    while (!held_.empty() && held_.front().frame <= frame) {
      const SoundingNote note = held_.front().note;
      held_.pop_front();
      call(note);
    }
  }

  void Clear() { held_.clear(); }

 private:
  struct Held {
    std::int64_t frame;
    SoundingNote note;
  };
  std::deque<Held> held_;
};
