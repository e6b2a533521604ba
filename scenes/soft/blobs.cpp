#include "scenes/soft/blobs.h"

#include "music/beat_flags.h"
#include "music/music.h"

namespace {

constexpr int kBeatInstrument = 16;

}  // namespace

void SetUpBlobs() {
  // The blobs freeze on the beats of their instrument; the flag starts clear whatever came before.
  BeatFlagB = 0;
  RegisterBeatSync(kBeatInstrument, ToggleBeatFlagBOnNote);
}
