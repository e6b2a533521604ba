// Which notes sound in each tick of an extended module that libxmp plays: the notes the
// instrument syncs are about.
#pragma once

#include <xmp.h>

#include <vector>

struct SoundingNote {
  int instrument;  // 1 = the first
  int note;        // 1 = C-0 .. 96 = B-7
};

class InstrumentNotes {
 public:
  // Forgets every channel's instrument and held-back note: the module starts from its beginning.
  void Reset();
  // After libxmp has played a tick (described by `info`), appends the notes that sound in it.
  void Tick(const xmp_module& module, const xmp_frame_info& info, std::vector<SoundingNote>* notes);
  // Each channel's instrument, for notes that name none.
  std::vector<int> Instruments() const;

 private:
  struct Channel {
    int instrument = 0;   // the instrument of the last cell that named one; 0 before any
    bool waiting = false;  // the row's cell has yet to sound
    int tick = 0;          // the tick of the row at which it sounds
    xmp_event event{};
  };
  std::vector<Channel> channels_;
};
