// Instrument syncs against the music itself: small modules with known notes, played on the
// offline output, one virtual millisecond at a time.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/pak_archive.h"
#include "music/beat_flags.h"
#include "music/music.h"
#include "platform/soundlib/module_player.h"
#include "scenes/soft/environment_blobs.h"
#include "scenes/soft/framed_tunnel.h"
#include "tests/platform/soundlib/sound_test.h"
#include "tests/support/started_device.h"

namespace {

// The times at which the syncs of a note at `times` fire when the music started at `start`:
// on the first millisecond step that passes the note, through `passes` passes of the song.
std::vector<std::uint64_t> Expected(const std::vector<std::uint64_t>& times, std::uint64_t start, int passes) {
  std::vector<std::uint64_t> expected;
  for (int pass = 0; pass < passes; ++pass)
    for (std::uint64_t t : times) expected.push_back(start + pass * kBeatSongPass + t + 1);
  return expected;
}

using InstrumentSyncTest = SoundTest;

TEST_F(InstrumentSyncTest, FiresOncePerNoteOfItsInstrumentAtTheNotesTimeThroughEveryPass) {
  const HMUSIC music = Load(BeatSong());
  const HSYNC one = Record(music, 1);
  const HSYNC sixteen = Record(music, 16);
  const HSYNC two = Record(music, 2);
  ASSERT_EQ(BASS_Start(), TRUE);
  ASSERT_EQ(BASS_MusicPlay(music), TRUE);
  const std::uint64_t start = backend.ElapsedMilliseconds();
  Play(3 * kBeatSongPass);  // the first note of a fourth pass sounds just after the end

  EXPECT_EQ(TimesOf(one), Expected(kBeatSongInstrument1, start, 3));
  EXPECT_EQ(TimesOf(sixteen), Expected(kBeatSongInstrument16, start, 3));
  EXPECT_EQ(TimesOf(two).size(), 3u);
  // The note rides along in the sync's data: the first is C-4.
  ASSERT_FALSE(fired.empty());
  EXPECT_EQ(fired[0].note, 49u);
}

TEST_F(InstrumentSyncTest, BeatFlagsToggleOnTheirNotesAndTwoNotesAtOnceLeaveAFlagAsItWas) {
  MusicHandle = Load(BeatSong());
  BeatFlagA = 1;
  BeatFlagB = 1;
  // The set-ups go on to read their pictures from the package; the blobs' also sets the
  // transforms of the 3D device.
  Package.open(KALETH_BUILD_DIR "/kaleth.pak");
  StartDisplayAndDevice();
  SetUpFramedTunnel();
  SetUpEnvironmentBlobs();
  CleanUpEnvironmentBlobs();
  StopDisplayAndDevice();
  EXPECT_EQ(BeatFlagB, 0);
  StartMusic();
  const std::uint64_t start = backend.ElapsedMilliseconds();
  std::vector<std::uint64_t> changesA, changesB;
  int a = BeatFlagA, b = BeatFlagB;
  for (std::uint64_t t = 0; t < kBeatSongPass; ++t) {
    backend.Sleep(1);
    if (BeatFlagA != a) changesA.push_back(backend.ElapsedMilliseconds() - start);
    if (BeatFlagB != b) changesB.push_back(backend.ElapsedMilliseconds() - start);
    a = BeatFlagA;
    b = BeatFlagB;
    if (t == 1600) {
      EXPECT_EQ(BeatFlagB, 0) << "between the two quick notes";
    }
  }
  EXPECT_EQ(changesA, Expected(kBeatSongInstrument1, 0, 1));
  // Both channels' notes at 120 ms toggle it twice in the same step.
  EXPECT_EQ(changesB, (std::vector<std::uint64_t>{841, 1561, 1681}));
  EXPECT_EQ(BeatFlagA, 1);  // six toggles
  EXPECT_EQ(BeatFlagB, 1);  // five, the last two bringing it back
  MusicHandle = 0;
}

TEST_F(InstrumentSyncTest, KeptSoundIsTheSameEveryRunAndKeepingItDoesNotMoveTheSyncs) {
  struct Run {
    std::vector<std::uint64_t> times;
    std::vector<std::int16_t> sound;
  };
  auto run = [&](std::uint64_t keepMilliseconds) {
    ResetSoundLibrary();
    fired.clear();
    backend.music.keepMilliseconds = keepMilliseconds;
    const HMUSIC music = Load(BeatSong());
    Record(music, 1);
    BASS_Start();
    BASS_MusicPlay(music);
    const std::uint64_t start = backend.ElapsedMilliseconds();
    Play(2000);
    Run result{{}, backend.music.frames};
    for (const FiredSync& f : fired) result.times.push_back(f.atMilliseconds - start);
    return result;
  };
  const Run kept = run(2000);
  const Run again = run(2000);
  const Run silent = run(0);
  ASSERT_EQ(kept.sound.size(), 2000u * 44100u / 1000u * 2u);
  EXPECT_EQ(kept.sound, again.sound);
  EXPECT_TRUE(std::any_of(kept.sound.begin(), kept.sound.begin() + 2000, [](std::int16_t s) { return s != 0; }))
      << "the first note is heard from the start";
  EXPECT_TRUE(silent.sound.empty());
  EXPECT_EQ(kept.times, silent.times);
  EXPECT_EQ(kept.times, again.times);
}

TEST_F(InstrumentSyncTest, AClockThatJumpsFarAheadGetsEveryNoteAndKeepsTheBeat) {
  // A song whose first pass differs from the rest: it starts slower and restarts at its second
  // order, where instrument 16 takes over a channel from instrument 1.
  XmSong song = BeatSong();
  song.orders = {1, 0};
  song.restart = 1;
  const int intro = song.AddPattern(8);
  song.Cell(intro, 0, 0) = {49, 1, 0, kXmSetSpeedEffect, 9};
  song.Cell(intro, 4, 0) = {0, 16};
  song.Cell(intro, 7, 3) = {0, 0, 0, kXmSetSpeedEffect, 6};
  // Played heard, a millisecond at a time, or unheard with one jump of many passes.
  auto run = [&](bool heard, std::uint64_t jump) {
    ResetSoundLibrary();
    fired.clear();
    backend.music.keepMilliseconds = heard ? 60000 : 0;
    const HMUSIC music = Load(song);
    const HSYNC one = Record(music, 1);
    Record(music, 16);
    BASS_Start();
    BASS_MusicPlay(music);
    const std::uint64_t start = backend.ElapsedMilliseconds();
    if (jump > 0) backend.Sleep(static_cast<DWORD>(jump));
    Play(60000 - jump);
    std::vector<std::pair<std::uint64_t, int>> beats;
    for (const FiredSync& f : fired) beats.emplace_back(f.atMilliseconds - start, f.sync == one ? 1 : 16);
    return beats;
  };
  auto heard = run(true, 0);
  const auto jumped = run(false, 50000);
  EXPECT_GT(heard.size(), 200u);
  // Every note up to the jump fires at its end, in order; after it, each at its own time.
  for (auto& beat : heard) beat.first = std::max<std::uint64_t>(beat.first, 50000);
  EXPECT_EQ(jumped, heard);
}

TEST_F(InstrumentSyncTest, AModuleThatDoesNotLoopFallsSilentAtItsEnd) {
  backend.music.keepMilliseconds = 2 * kBeatSongPass;
  const HMUSIC music = Load(BeatSong(), BASS_MUSIC_RAMP);
  const HSYNC one = Record(music, 1);
  BASS_Start();
  BASS_MusicPlay(music);
  Play(2 * kBeatSongPass);
  EXPECT_EQ(TimesOf(one).size(), kBeatSongInstrument1.size());
  const std::vector<std::int16_t>& sound = backend.music.frames;
  const std::size_t end = kBeatSongPass * 441 / 10 * 2;
  ASSERT_EQ(sound.size(), 2 * end);
  EXPECT_TRUE(std::all_of(sound.begin() + end, sound.end(), [](std::int16_t s) { return s == 0; }));
}

TEST_F(InstrumentSyncTest, PlayStartsTheModuleOverFromItsBeginning) {
  const HMUSIC music = Load(BeatSong());
  const HSYNC one = Record(music, 1);
  BASS_Start();
  BASS_MusicPlay(music);
  Play(500);
  const std::uint64_t again = backend.ElapsedMilliseconds();
  BASS_MusicPlay(music);
  Play(300);
  EXPECT_EQ(TimesOf(one), (std::vector<std::uint64_t>{again - 500 + 1, again - 500 + 241, again + 1, again + 241}));
}

TEST(ModulePlayer, ANotesSyncFiresWhileTheBufferHoldingItsFirstFrameIsFilled) {
  const std::vector<std::uint8_t> bytes = BuildXm(BeatSong());
  // Each note is reported with the frames of the Render call it was reported in.
  std::uint64_t callStart = 0, callEnd = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  ModulePlayer player(44100, [&](const SoundingNote&) { calls.emplace_back(callStart, callEnd); });
  ASSERT_TRUE(player.Load(bytes.data(), bytes.size()));
  EXPECT_EQ(player.Instruments(), 16);
  player.Start(true, true);
  // Buffers of an odd size, so that notes fall anywhere in them, over one pass of the song.
  const std::uint64_t passFrames = kBeatSongPass * 441 / 10;
  std::vector<std::int16_t> buffer(2 * 1000);
  while (callEnd < passFrames) {
    callStart = callEnd;
    callEnd = std::min<std::uint64_t>(callEnd + 1000, passFrames);
    player.Render(buffer.data(), callEnd - callStart);
  }
  // Every note of the pass, in order (instrument 2's at 1440 ms too); a tick is 882 frames.
  const std::uint64_t noteTimes[] = {0, 120, 120, 240, 600, 840, 1020, 1200, 1320, 1440, 1560, 1680};
  ASSERT_EQ(calls.size(), std::size(noteTimes));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::uint64_t firstFrame = noteTimes[i] * 441 / 10;
    EXPECT_GE(firstFrame, calls[i].first) << i;
    EXPECT_LT(firstFrame, calls[i].second) << i;
  }
}

TEST(ModulePlayer, TicksLastAsLongAsLibxmpMixesThemAtEveryTempo) {
  XmSong song;
  song.speed = 1;
  const int p = song.AddPattern(256 - 32);
  for (int bpm = 32; bpm < 256; ++bpm) song.Cell(p, bpm - 32, 0) = {0, 0, 0, kXmSetSpeedEffect, static_cast<std::uint8_t>(bpm)};
  const std::vector<std::uint8_t> bytes = BuildXm(song);
  for (int rate : {44100, 48000, 22050}) {
    xmp_context context = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(context, bytes.data(), static_cast<long>(bytes.size())), 0);
    ASSERT_EQ(xmp_start_player(context, rate, 0), 0);
    xmp_frame_info info{};
    for (int bpm = 32; bpm < 256; ++bpm) {
      ASSERT_EQ(xmp_play_frame(context), 0);
      xmp_get_frame_info(context, &info);
      ASSERT_EQ(info.bpm, bpm);
      EXPECT_EQ(TickFrames(rate, bpm), static_cast<std::size_t>(info.buffer_size) / 4) << rate << " Hz, " << bpm << " BPM";
    }
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
  }
}

}  // namespace
