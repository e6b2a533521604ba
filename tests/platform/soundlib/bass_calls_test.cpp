// The sound library's calls: what they accept, what they refuse and the error codes they leave.
#include <gtest/gtest.h>

#include <random>

#include "platform/soundlib/xm_extent.h"
#include "tests/platform/soundlib/sound_test.h"

namespace {

using BassCalls = SoundTest;

HMUSIC LoadBytes(const std::vector<std::uint8_t>& bytes) {
  return BASS_MusicLoad(bytes.data(), TRUE, BASS_MUSIC_RAMP | BASS_MUSIC_LOOP, static_cast<DWORD>(bytes.size()));
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST_F(BassCalls, VersionIsTheOneTheSystemWasWrittenForUnlessMadeToLie) {
  EXPECT_EQ(BASS_GetVersion(), 0x00050000u);
  faults::Fail("BASS_GetVersion", 3);
  EXPECT_EQ(BASS_GetVersion(), 0x00050000u);
  EXPECT_NE(BASS_GetVersion(), 0x00050000u);
}

TEST_F(BassCalls, InitOpensTheDefaultDeviceOnce) {
  EXPECT_EQ(BASS_Init(0, 44100, 0, nullptr), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
  EXPECT_EQ(BASS_Init(-1, 1000, 0, nullptr), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  faults::Fail("BASS_Init", 3);
  EXPECT_EQ(BASS_Init(-1, 44100, 0, nullptr), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
  EXPECT_EQ(BASS_Init(-1, 44100, 0, nullptr), TRUE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  EXPECT_EQ(backend.music.rate, 44100);
  EXPECT_EQ(BASS_Init(-1, 44100, 0, nullptr), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
}

TEST_F(BassCalls, NothingPlaysBeforeInitAndPlayWantsTheModulesHandle) {
  const std::vector<std::uint8_t> bytes = BuildXm(BeatSong());
  EXPECT_EQ(LoadBytes(bytes), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_EQ(BASS_Start(), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  const HMUSIC music = Load(BeatSong());
  EXPECT_EQ(BASS_MusicPlay(music + 1), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_EQ(BASS_MusicPlay(0), FALSE);
  EXPECT_EQ(BASS_Start(), TRUE);
  EXPECT_EQ(BASS_MusicPlay(music), TRUE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
}

TEST_F(BassCalls, LoadTakesOnlyAWholeExtendedModuleFromMemory) {
  ASSERT_EQ(BASS_Init(-1, 44100, 0, nullptr), TRUE);
  const std::vector<std::uint8_t> good = BuildXm(BeatSong());
  ASSERT_TRUE(XmModuleFits(good.data(), good.size()));

  EXPECT_EQ(BASS_MusicLoad(good.data(), FALSE, 0, static_cast<DWORD>(good.size())), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_MusicLoad(nullptr, TRUE, 0, 100), 0u);
  EXPECT_EQ(BASS_MusicLoad(good.data(), TRUE, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

  // Cut anywhere, the module is refused (the player would play what it got).
  for (std::size_t size = 1; size < good.size(); ++size) {
    std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_EQ(LoadBytes(cut), 0u) << size;
    ASSERT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
  }
  // Bytes after the module do no harm.
  std::vector<std::uint8_t> longer = good;
  longer.resize(good.size() + 100, 0xEE);
  EXPECT_NE(LoadBytes(longer), 0u);

  std::vector<std::uint8_t> bad = good;
  bad[58] = 0x03;  // version 1.03 lays its parts out otherwise
  EXPECT_EQ(LoadBytes(bad), 0u);
  bad = good;
  bad[0] = 'e';
  EXPECT_EQ(LoadBytes(bad), 0u);
  // A pattern header shorter than its own fields, a sample longer than the file.
  bad = good;
  Put32(bad, 336, 4);
  EXPECT_EQ(LoadBytes(bad), 0u);
  bad = good;
  const std::size_t firstSample = good.size() - 16 * (263 + 40 + 32) + 263;
  Put32(bad, firstSample, 0x7FFFFFFF);
  EXPECT_EQ(LoadBytes(bad), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);

  std::mt19937 random(5);
  for (int i = 0; i < 200; ++i) {
    std::vector<std::uint8_t> garbage(1 + random() % 4000);
    for (auto& b : garbage) b = static_cast<std::uint8_t>(random());
    // Garbage behind a good id and header.
    if (i % 2) std::copy(good.begin(), good.begin() + std::min<std::size_t>(336, garbage.size()), garbage.begin());
    ASSERT_EQ(LoadBytes(garbage), 0u) << i;
  }

  faults::Fail("BASS_MusicLoad", faults::Calls("BASS_MusicLoad") + 1);
  EXPECT_EQ(LoadBytes(good), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
  EXPECT_NE(LoadBytes(good), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
}

TEST_F(BassCalls, DamagedModulesAreRefusedOrPlayedWithoutHarm) {
  ASSERT_EQ(BASS_Init(-1, 44100, 0, nullptr), TRUE);
  ASSERT_EQ(BASS_Start(), TRUE);
  const std::vector<std::uint8_t> good = BuildXm(BeatSong());
  std::mt19937 random(11);
  int played = 0;
  for (int i = 0; i < 300; ++i) {
    std::vector<std::uint8_t> damaged = good;
    for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n) damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    const HMUSIC music = LoadBytes(damaged);
    if (music == 0) {
      EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
      continue;
    }
    ++played;
    BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, RecordSync);
    ASSERT_EQ(BASS_MusicPlay(music), TRUE);
    Play(250);
  }
  EXPECT_GT(played, 100) << "most damage lies in the pattern and sample data";
}

TEST_F(BassCalls, AModuleWithoutChannelsIsRefusedAndOneWithoutASpeedKeepsTheBeat) {
  ASSERT_EQ(BASS_Init(-1, 44100, 0, nullptr), TRUE);
  ASSERT_EQ(BASS_Start(), TRUE);
  // libxmp loads a module of no channels and then plays ticks that last no time, for ever.
  XmSong silent = BeatSong();
  silent.channels = 0;
  silent.orders.assign(129, 0);
  EXPECT_EQ(LoadBytes(BuildXm(silent)), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);

  XmSong stalled = BeatSong();
  stalled.speed = 0;
  const HMUSIC music = LoadBytes(BuildXm(stalled));
  ASSERT_NE(music, 0u);
  const HSYNC sync = Record(music, 1);
  ASSERT_EQ(BASS_MusicPlay(music), TRUE);
  Play(kBeatSongPass);
  // Like the other readers, the player takes the usual speed: the notes keep the song's beat.
  EXPECT_EQ(TimesOf(sync).size(), kBeatSongInstrument1.size());
}

TEST_F(BassCalls, OnlyInstrumentSyncsOnEveryNoteOfAnInstrumentTheModuleHasAreTaken) {
  const HMUSIC music = Load(BeatSong());
  auto set = [&](DWORD handle, DWORD type, DWORD param, SYNCPROC* proc) {
    BASS_ChannelSetSync(handle, type, param, proc);
    return BASS_ErrorGetCode();
  };
  EXPECT_EQ(set(0, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, RecordSync), BASS_ERROR_HANDLE);
  EXPECT_EQ(set(music + 1, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, RecordSync), BASS_ERROR_HANDLE);
  EXPECT_EQ(set(music, 2, 1 | BASS_SYNC_EVERY_NOTE, RecordSync), BASS_ERROR_ILLTYPE);
  EXPECT_EQ(set(music, BASS_SYNC_MUSICINST, 0 | BASS_SYNC_EVERY_NOTE, RecordSync), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(set(music, BASS_SYNC_MUSICINST, 17 | BASS_SYNC_EVERY_NOTE, RecordSync), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(set(music, BASS_SYNC_MUSICINST, 1 | 0x00300000u, RecordSync), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(set(music, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, nullptr), BASS_ERROR_ILLPARAM);
  faults::Fail("BASS_ChannelSetSync", faults::Calls("BASS_ChannelSetSync") + 1);
  EXPECT_EQ(set(music, BASS_SYNC_MUSICINST, 16 | BASS_SYNC_EVERY_NOTE, RecordSync), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(set(music, BASS_SYNC_MUSICINST, 16 | BASS_SYNC_EVERY_NOTE, RecordSync), BASS_OK);
  const HSYNC first = BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, RecordSync);
  const HSYNC second = BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, RecordSync);
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  // Two syncs on one instrument both fire.
  BASS_Start();
  BASS_MusicPlay(music);
  Play(10);
  EXPECT_EQ(TimesOf(first).size(), 1u);
  EXPECT_EQ(TimesOf(second).size(), 1u);
}

TEST_F(BassCalls, AnotherModuleReplacesTheFirstWithItsSyncs) {
  const HMUSIC first = Load(BeatSong());
  const HSYNC old = Record(first, 1);
  XmSong other = BeatSong();
  other.Cell(0, 0, 0).instrument = 3;
  const std::vector<std::uint8_t> bytes = BuildXm(other);
  const HMUSIC second = LoadBytes(bytes);
  ASSERT_NE(second, 0u);
  EXPECT_NE(second, first);
  EXPECT_EQ(BASS_MusicPlay(first), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  const HSYNC three = Record(second, 3);
  BASS_Start();
  BASS_MusicPlay(second);
  Play(100);
  EXPECT_TRUE(TimesOf(old).empty());
  EXPECT_EQ(TimesOf(three).size(), 1u);
}

}  // namespace
