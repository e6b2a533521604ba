#include "tests/platform/soundlib/sound_test.h"

std::vector<FiredSync> SoundTest::fired;
HeadlessBackend* SoundTest::clock = nullptr;

void SoundTest::SetUp() {
  HeadlessTest::SetUp();
  fired.clear();
  clock = &backend;
}

void SoundTest::TearDown() {
  HeadlessTest::TearDown();
  clock = nullptr;
}

void SoundTest::RecordSync(HSYNC sync, DWORD, DWORD note) {
  fired.push_back(FiredSync{sync, clock->ElapsedMilliseconds(), note});
}

HMUSIC SoundTest::Load(const XmSong& song, DWORD flags) {
  EXPECT_EQ(BASS_Init(-1, 44100, 0, nullptr), TRUE);
  const std::vector<std::uint8_t> bytes = BuildXm(song);
  const HMUSIC music = BASS_MusicLoad(bytes.data(), TRUE, flags, static_cast<DWORD>(bytes.size()));
  EXPECT_NE(music, 0u) << "error " << BASS_ErrorGetCode();
  return music;
}

HSYNC SoundTest::Record(HMUSIC music, int instrument) {
  const HSYNC sync =
      BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, static_cast<DWORD>(instrument) | BASS_SYNC_EVERY_NOTE, RecordSync);
  EXPECT_NE(sync, 0u) << "error " << BASS_ErrorGetCode();
  return sync;
}

std::vector<std::uint64_t> SoundTest::TimesOf(HSYNC sync) const {
  std::vector<std::uint64_t> times;
  for (const FiredSync& f : fired)
    if (f.sync == sync) times.push_back(f.atMilliseconds);
  return times;
}

void SoundTest::Play(std::uint64_t milliseconds) {
  for (std::uint64_t i = 0; i < milliseconds; ++i) backend.Sleep(1);
}

XmSong BeatSong() {
  XmSong song;
  song.channels = 4;
  const int p = song.AddPattern(16);
  const std::uint8_t C4 = 49;
  const std::uint8_t delay3 = 0xD3, delay9 = 0xD9;
  // Channel 0 keeps one instrument across rows.
  song.Cell(p, 0, 0) = {C4, 1};                                     // 0 ms: named
  song.Cell(p, 2, 0) = {C4, 0};                                     // 240: the channel's instrument
  song.Cell(p, 3, 0) = {kXmKeyOff, 0};                              // key-off: no note
  song.Cell(p, 4, 0) = {kXmKeyOff, 16};                             // key-off naming 16: no note, no change
  song.Cell(p, 5, 0) = {C4 + 2, 0};                                 // 600: still instrument 1
  song.Cell(p, 6, 0) = {0, 16};                                     // instrument alone: 16 from now on
  song.Cell(p, 7, 0) = {C4, 0};                                     // 840: instrument 16
  song.Cell(p, 8, 0) = {C4, 1, 0, kXmExtendedEffect, delay3};       // 960 + 3 ticks = 1020
  song.Cell(p, 9, 0) = {C4, 16, 0, kXmExtendedEffect, delay9};      // held past the row: never sounds
  song.Cell(p, 10, 0) = {C4 + 4, 0};                                // 1200: instrument 1 again
  // Two channels play instrument 16 on the same tick.
  song.Cell(p, 1, 1) = {C4 + 7, 16};                                // 120
  song.Cell(p, 1, 2) = {C4 + 12, 16, 0x40};                         // 120, with a volume
  song.Cell(p, 11, 3) = {C4, 1, 0x30, 0x0C, 0x20};                  // 1320, with an effect
  song.Cell(p, 12, 1) = {C4, 2};                                    // another instrument
  song.Cell(p, 13, 1) = {C4, 16};                                   // 1560
  song.Cell(p, 14, 1) = {C4 + 1, 16};                               // 1680
  // A pattern delay makes the last row twice as long, but a held-back note still needs to
  // sound within the row's speed.
  song.Cell(p, 15, 0) = {C4, 1, 0, kXmExtendedEffect, delay9};      // never sounds
  song.Cell(p, 15, 3) = {0, 0, 0, kXmExtendedEffect, 0xE1};
  return song;
}
