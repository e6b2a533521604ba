// The system's side of the music: starting it, registering the beat syncs and their failures.
#include <gtest/gtest.h>

#include "music/beat_flags.h"
#include "music/music.h"
#include "runtime/errors.h"
#include "tests/soundlib/sound_test.h"

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
  EXPECT_THROW(RegisterBeatSync(16, ToggleBeatFlagBOnNote), FatalExit);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, "Wrong synchroniser");
  EXPECT_EQ(backend.boxes[0].caption, "[- Tarn 2.0 error window -]");
  // An instrument the module lacks is refused the same way.
  EXPECT_THROW(RegisterBeatSync(17, ToggleBeatFlagBOnNote), FatalExit);
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

}  // namespace
