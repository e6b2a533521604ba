// A headless machine with the sound library on its offline output: modules made in the test,
// syncs recorded with the virtual time at which they fire.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/soundlib/bass.h"
#include "tests/support/headless.h"
#include "tests/support/xm_module.h"

struct FiredSync {
  HSYNC sync;
  std::uint64_t atMilliseconds;  // the virtual clock when it fired
  DWORD note;
};

class SoundTest : public HeadlessTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens the offline output and loads the module (looping unless told otherwise).
  HMUSIC Load(const XmSong& song, DWORD flags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP);
  // A sync on every note of the instrument that records when it fires.
  HSYNC Record(HMUSIC music, int instrument);
  // The times at which `sync` fired.
  std::vector<std::uint64_t> TimesOf(HSYNC sync) const;
  // Moves the clock on a millisecond at a time.
  void Play(std::uint64_t milliseconds);

  static void RecordSync(HSYNC sync, DWORD channel, DWORD note);
  static std::vector<FiredSync> fired;
  static HeadlessBackend* clock;
};

// A song of 16 rows at speed 6 and 125 BPM: a tick lasts 20 ms, a row 120 ms (the last one 240),
// a pass 2040 ms.
// Instrument 1 sounds at 0, 240, 600, 1020, 1200 and 1320 ms; instrument 16 at 120 (twice, on
// two channels), 840, 1560 and 1680 ms (see the cells for why).
XmSong BeatSong();
inline const std::vector<std::uint64_t> kBeatSongInstrument1{0, 240, 600, 1020, 1200, 1320};
inline const std::vector<std::uint64_t> kBeatSongInstrument16{120, 120, 840, 1560, 1680};
inline constexpr std::uint64_t kBeatSongPass = 2040;
