// The kaleth executable: the system on the sdl backend. The command line handed to the entry is
// what follows the program's name, the arguments joined by single blanks.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "kaleth_build.h"
#include "platform/data_folder.h"
#include "platform/backends/machine_profile.h"
#include "platform/backends/sdl/sdl_backend.h"
#include "platform/backends/sdl/sdl_sound_output.h"
#include "runtime/session.h"

namespace {

constexpr const char* kUsage =
    "usage: kaleth [-window]\n"
    "Plays KALETH full-screen, with its music, from kaleth.pak in the working folder, else in the\n"
    "installed data folder, or in the folder KALETH_DATA names.\n"
    "  -window    play in a window instead\n"
    "  --version  the version of the program\n"
    "Escape or the close box leave; F1 flips a beat flag by hand.\n"
    "Environment: KALETH_VSYNC=0 shows frames as fast as they come instead of on the display's\n"
    "refresh; KALETH_SCALE=sharp|nearest|linear chooses how the picture is enlarged (sharp);\n"
    "KALETH_STATS=1 prints a frame report at the end; KALETH_THREADS=N draws on N threads\n"
    "(default: one per processor; 1: on one thread alone).\n";

}  // namespace

int main(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
  // Help is this executable's own; everything else on the line is the program's command line.
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kaleth %s\n", KALETH_VERSION);
    return 0;
  }
  const MachineProfile profile = LoadMachineProfile();
  const ViewerSettings& settings = profile.viewer;
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "kaleth: cannot open the display: %s\n", SDL_GetError());
    return 0;
  }
  // Finding no display, SDL falls back to drawing nowhere. Unless that was asked for by name, the
  // production would play unseen for hours, which to the user looks like a hang.
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  const char* driver = SDL_GetCurrentVideoDriver();
  if ((asked == nullptr || *asked == '\0') && driver != nullptr &&
      (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    std::fprintf(stderr,
                 "kaleth: cannot open the display: none found (kaleth-capture plays the production without one)\n");
    SDL_Quit();
    return 0;
  }
  EnterDataFolder("kaleth", KALETH_DATA_FROM_GAMES, profile.dataFolder);
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  int code = 0;
  {
    SdlBackend backend(settings);
    SdlSoundDevice sound;
    code = Session(backend, sound).Play(commandLine.c_str());
    if (settings.stats) {
      const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
      std::fprintf(stderr, "%s\n", backend.FrameReportLine(wall).c_str());
    }
  }
  SDL_Quit();
  return code;
}
