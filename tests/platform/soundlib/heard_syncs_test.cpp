// Syncs against the moment a note is heard, on a stand-in sound device whose clock the test
// keeps: each request for sound comes a buffer after the one before, with a chosen amount of
// sound still queued ahead of the speaker.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/faults.h"
#include "platform/soundlib/bass.h"
#include "platform/soundlib/sound_output.h"
#include "tests/support/xm_module.h"

namespace {

constexpr std::int64_t kBuffer = 1024;
// At speed 6 and 125 BPM a row lasts 6 ticks of 882 frames at 44,100 Hz.
constexpr std::int64_t kRowFrames = 6 * 882;
const std::vector<int> kNoteRows{0, 4, 9, 10};

// The device's clock, in frames since it started asking for sound.
std::int64_t deviceNow = 0;
std::vector<std::int64_t> firedAt;

void RecordSync(HSYNC, DWORD, DWORD) { firedAt.push_back(deviceNow); }

class StandInDevice : public SoundDevice, public SoundOutput {
 public:
  SoundOutput* OpenSoundOutput(int, SoundSource* sound) override {
    source = sound;
    return this;
  }
  void CloseSoundOutput() override { source = nullptr; }
  void Start() override {}
  bool Audible() const override { return true; }

  // The device's thread, `requests` times: a buffer of sound, a buffer of time later.
  void Play(int requests, std::int64_t queued) {
    std::vector<std::int16_t> buffer(kBuffer * 2);
    for (int i = 0; i < requests; ++i) {
      source->Render(buffer.data(), kBuffer, static_cast<std::size_t>(queued));
      deviceNow += kBuffer;
    }
  }

  SoundSource* source = nullptr;
};

class HeardSyncsTest : public ::testing::TestWithParam<std::int64_t> {
 protected:
  void SetUp() override {
    faults::Reset();
    ResetSoundLibrary();
    SetSoundDevice(&device);
    deviceNow = 0;
    firedAt.clear();
  }
  void TearDown() override {
    ResetSoundLibrary();
    SetSoundDevice(nullptr);
  }

  // Instrument 1 on the rows of kNoteRows, once through; its sync recorded. The first song opens
  // the output.
  void StartSong(bool first = true) {
    XmSong song;
    const int pattern = song.AddPattern(16);
    for (int row : kNoteRows) song.Cell(pattern, row, 0) = {49, 1};
    if (first) {
      ASSERT_EQ(BASS_Init(-1, 44100, 0, nullptr), TRUE);
    }
    const std::vector<std::uint8_t> bytes = BuildXm(song);
    const HMUSIC music = BASS_MusicLoad(bytes.data(), TRUE, BASS_MUSIC_RAMP, static_cast<DWORD>(bytes.size()));
    ASSERT_NE(music, 0u);
    ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, RecordSync), 0u);
    ASSERT_EQ(BASS_Start(), TRUE);
    ASSERT_EQ(BASS_MusicPlay(music), TRUE);
  }

  StandInDevice device;
};

TEST_P(HeardSyncsTest, EachSyncFiresWithinHalfABufferOfTheMomentItsNoteIsHeard) {
  const std::int64_t queued = GetParam();
  StartSong();
  device.Play(static_cast<int>((11 * kRowFrames + queued) / kBuffer) + 2, queued);
  ASSERT_EQ(firedAt.size(), kNoteRows.size());
  for (std::size_t i = 0; i < kNoteRows.size(); ++i) {
    // The speaker plays frame f once the device has asked for f plus what was queued ahead.
    const std::int64_t heard = kNoteRows[i] * kRowFrames + queued;
    EXPECT_LE(firedAt[i], heard + kBuffer / 2) << "note " << i;
    EXPECT_GE(firedAt[i], heard - kBuffer / 2) << "note " << i;
  }
}

// A device buffer of SDL's size, and a deeper queue such as a sound server keeps.
INSTANTIATE_TEST_SUITE_P(Queues, HeardSyncsTest, ::testing::Values(kBuffer, 5000));

TEST_F(HeardSyncsTest, WithNothingQueuedASyncFiresWhileItsNoteIsMadeAndANewModuleDropsTheNotesNotYetHeard) {
  StartSong();
  device.Play(1, 0);
  EXPECT_EQ(firedAt, (std::vector<std::int64_t>{0})) << "the first note, in the first request";

  // The note of row 4 is made while a buffer is queued ahead of it, and another module is loaded
  // before it is heard: its sync is never called. The new module's first two notes are.
  device.Play(static_cast<int>(4 * kRowFrames / kBuffer) + 1, kBuffer);
  ASSERT_EQ(firedAt.size(), 1u);
  StartSong(/*first=*/false);
  device.Play(static_cast<int>(4 * kRowFrames / kBuffer) + 3, kBuffer);
  EXPECT_EQ(firedAt.size(), 3u);
}

}  // namespace
