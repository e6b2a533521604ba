// kaleth where there is nothing to show it on or to play its music through: it says so and ends.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/run_program.h"

namespace {

// No X server, no Wayland socket and no sound driver that could open a device. The leak checker
// would report the graphics libraries' own caches.
const std::vector<std::string> kNothing{"DISPLAY=", "WAYLAND_DISPLAY=", "XDG_RUNTIME_DIR=/nonexistent",
                                        "SDL_AUDIODRIVER=no-such-driver", "ASAN_OPTIONS=detect_leaks=0"};

TEST(NoDisplay, KalethSaysThereIsNoneAndEndsRatherThanPlayingUnseen) {
  std::vector<std::string> environment = kNothing;
  environment.push_back("SDL_VIDEODRIVER=");
  const ProgramResult run = RunProgram({BuildPath("kaleth")}, environment, KALETH_BUILD_DIR, 30);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("kaleth: cannot open the display: none found"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Tarn 2.0"), std::string::npos) << "nothing of the production ran:\n" << run.output;
}

TEST(NoDisplay, AnUnseenDisplayAskedForByNameStillNeedsASoundDevice) {
  std::vector<std::string> environment = kNothing;
  environment.push_back("SDL_VIDEODRIVER=offscreen");
  const ProgramResult run = RunProgram({BuildPath("kaleth")}, environment, KALETH_BUILD_DIR, 30);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] Soundcard can not handle samplerate 44100"),
            std::string::npos)
      << run.output;
}

}  // namespace
