// The real-time output on SDL's dummy audio driver (no sound card needed): the device's thread
// asks for the music and the syncs fire from there.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/faults.h"
#include "platform/soundlib/bass.h"
#include "platform/backends/sdl/sdl_sound_output.h"
#include "tests/platform/soundlib/sound_test.h"
#include "tests/support/environment.h"

namespace {

std::mutex heardLock;
std::vector<int> heard;

void HeardOne(HSYNC, DWORD, DWORD) {
  std::lock_guard<std::mutex> guard(heardLock);
  heard.push_back(1);
}

void HeardSixteen(HSYNC, DWORD, DWORD) {
  std::lock_guard<std::mutex> guard(heardLock);
  heard.push_back(16);
}

class SdlOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    faults::Reset();
    ResetSoundLibrary();
    SetSoundDevice(&device);
  }
  void TearDown() override {
    ResetSoundLibrary();
    SetSoundDevice(nullptr);
    UnsetEnvironment("SDL_AUDIODRIVER");
  }
  SdlSoundDevice device;
};

TEST_F(SdlOutputTest, TheDevicesThreadPlaysTheModuleAndFiresEveryNoteInOrder) {
  SetEnvironment("SDL_AUDIODRIVER", "dummy");
  ASSERT_EQ(BASS_Init(-1, 44100, 0, nullptr), TRUE);
  const std::vector<std::uint8_t> bytes = BuildXm(BeatSong());
  const HMUSIC music = BASS_MusicLoad(bytes.data(), TRUE, BASS_MUSIC_RAMP | BASS_MUSIC_LOOP, static_cast<DWORD>(bytes.size()));
  ASSERT_NE(music, 0u);
  heard.clear();
  ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 1 | BASS_SYNC_EVERY_NOTE, HeardOne), 0u);
  ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 16 | BASS_SYNC_EVERY_NOTE, HeardSixteen), 0u);
  ASSERT_EQ(BASS_Start(), TRUE);
  ASSERT_EQ(BASS_MusicPlay(music), TRUE);
  // One pass lasts 1.92 s of real time; wait for its eleven notes, but not for ever.
  const std::vector<int> pass{1, 16, 16, 1, 1, 16, 1, 1, 1, 16, 16};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::vector<int> got;
  while (std::chrono::steady_clock::now() < deadline) {
    {
      std::lock_guard<std::mutex> guard(heardLock);
      got = heard;
    }
    if (got.size() >= pass.size()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ResetSoundLibrary();
  ASSERT_GE(got.size(), pass.size());
  got.resize(pass.size());
  EXPECT_EQ(got, pass);
}

TEST_F(SdlOutputTest, WithoutASoundDeviceInitFails) {
  SetEnvironment("SDL_AUDIODRIVER", "no-such-driver");
  EXPECT_EQ(BASS_Init(-1, 44100, 0, nullptr), FALSE);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
  EXPECT_EQ(BASS_Start(), FALSE);
}

}  // namespace
