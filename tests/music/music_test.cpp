// The system's side of the music: starting it, registering the beat syncs and their failures.
#include <gtest/gtest.h>

#include "music/beat_flags.h"
#include "music/music.h"
#include "core/errors.h"
#include "tests/platform/soundlib/sound_test.h"
#include "tests/support/data_files.h"

namespace {

class MusicTest : public SoundTest {
 protected:
  void TearDown() override {
    MusicHandle = 0;
    SoundTest::TearDown();
  }
};

TEST_F(MusicTest, ARefusedSyncIsFatalAndOtherSyncErrorsAreNot) {
  // No module: the library names the handle, which the system does not look at.
  MusicHandle = 0;
  RegisterBeatSync(1, ToggleBeatFlagAOnNote);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_TRUE(backend.boxes.empty());

  MusicHandle = Load(BeatSong());
  faults::Fail("BASS_ChannelSetSync", faults::Calls("BASS_ChannelSetSync") + 1);
  EXPECT_THROW(RegisterBeatSync(16, ToggleBeatFlagBOnNote), FatalErrorExit);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, "Wrong synchroniser");
  EXPECT_EQ(backend.boxes[0].caption, "[- Tarn 2.0 error window -]");
  // An instrument the module lacks is refused the same way.
  EXPECT_THROW(RegisterBeatSync(17, ToggleBeatFlagBOnNote), FatalErrorExit);
}

TEST_F(MusicTest, StartMusicPlaysTheModuleFromItsBeginning) {
  MusicHandle = Load(BeatSong());
  BeatFlagA = 1;
  RegisterBeatSync(1, ToggleBeatFlagAOnNote);
  Play(100);
  EXPECT_EQ(BeatFlagA, 1) << "nothing sounds before the start";
  StartMusic();
  Play(1);
  EXPECT_EQ(BeatFlagA, 0);
  Play(240);
  EXPECT_EQ(BeatFlagA, 1);
}

class LoadMusicTest : public PackageTest {
 protected:
  void TearDown() override {
    MusicHandle = 0;
    PackageTest::TearDown();
  }
  // A package holding the module (as `module`, or the test song) between two other members.
  void OpenWithModule(const Bytes& module = BuildXm(BeatSong())) {
    OpenMembers({{"load.raw", Bytes(64, 7)}, {"kaleth.xm", module}, {"env1.pcx", Bytes(16, 1)}});
  }
};

TEST_F(LoadMusicTest, LoadsTheMemberAndOpensTheDeviceAtTheRate) {
  OpenWithModule();
  EXPECT_EQ(FatalMessageOf([] { LoadMusic("kaleth.xm"); }), "");
  EXPECT_NE(MusicHandle, 0u);
  EXPECT_EQ(backend.music.rate, 44100);
  EXPECT_TRUE(backend.boxes.empty());
  // The module is the member's: it has the song's sixteen instruments and plays its notes.
  BeatFlagA = 1;
  RegisterBeatSync(16, ToggleBeatFlagAOnNote);  // any flag will do to watch instrument 16
  StartMusic();
  backend.Sleep(200);
  EXPECT_EQ(BeatFlagA, 1) << "two notes of instrument 16 at 120 ms";
}

TEST_F(LoadMusicTest, EveryFailureStopsTheRunWithItsMessage) {
  OpenWithModule();
  faults::Fail("BASS_GetVersion", 1);
  EXPECT_EQ(FatalMessageOf([] { LoadMusic("kaleth.xm"); }), "Wrong version");
  EXPECT_EQ(faults::Calls("BASS_Init"), 0u) << "no device is opened for a library of another version";

  faults::Fail("BASS_Init", 1);
  EXPECT_EQ(FatalMessageOf([] { LoadMusic("kaleth.xm"); }), "Soundcard can not handle samplerate 44100");

  ResetSoundLibrary();
  faults::Fail("BASS_MusicLoad", 1);
  EXPECT_EQ(FatalMessageOf([] { LoadMusic("kaleth.xm"); }), "BASS reports an error");
  EXPECT_EQ(MusicHandle, 0u);
}

TEST_F(LoadMusicTest, ADamagedModuleIsAnErrorOfTheLibrary) {
  const Bytes good = BuildXm(BeatSong());
  for (const Bytes& damaged : {Bytes(good.begin(), good.end() - 1), Bytes(good.begin(), good.begin() + 300),
                               Bytes(5000, 0x5A), Bytes{}}) {
    ResetSoundLibrary();
    OpenWithModule(damaged);
    EXPECT_EQ(FatalMessageOf([] { LoadMusic("kaleth.xm"); }), "BASS reports an error") << damaged.size();
  }
}

TEST_F(LoadMusicTest, AMissingMemberIsReportedByThePackage) {
  OpenMembers({{"load.raw", Bytes(64, 7)}});
  EXPECT_EQ(FatalMessageOf([] { LoadMusic("kaleth.xm"); }), "kaleth.xm");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Filesystem error", "kaleth.xm"}));
  EXPECT_EQ(faults::Calls("BASS_Init"), 0u);
}

TEST_F(LoadMusicTest, AModuleTheFileHasLostTheEndOfIsADamagedPackageNotALibraryError) {
  // The directory claims more bytes than the file holds after the module.
  const Bytes module = BuildXm(BeatSong());
  Bytes package = PackageOf({{"kaleth.xm", module}});
  const std::size_t sizeField = 5 + 4;
  package[sizeField + 2] = static_cast<std::uint8_t>(package[sizeField + 2] + 1);  // size + 65536
  OpenPackage(package);
  EXPECT_EQ(FatalMessageOf([] { LoadMusic("kaleth.xm"); }),
            "Package file is damaged: kaleth.xm is cut short (" + std::to_string(module.size()) + " of " +
                std::to_string(module.size() + 65536) + " bytes)");
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(faults::Calls("BASS_GetVersion"), 0u) << "the library is not asked about a damaged package";
  EXPECT_EQ(MusicHandle, 0u);
}

}  // namespace
