// The kaleth-dx executable: the system on the machine's own Windows, as it was written for it:
// user32 for the window, the keys and the boxes, winmm for the clock, DirectDraw 4 and Direct3D 3
// for the pictures, kernel32's thread pool for the bands of rows. The sound library is ours, over
// libxmp, played through waveOut.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kaleth_build.h"
#include "platform/backends/viewer_settings.h"
#include "platform/data_folder.h"
#include "platform/real_windows/wave_out_device.h"
#include "runtime/session.h"

namespace {

constexpr const char* kUsage =
    "usage: kaleth-dx [-window]\n"
    "Plays KALETH full-screen, with its music, from kaleth.pak in the working folder, else in the\n"
    "program's folder, or in the folder KALETH_DATA names, on this machine's own DirectDraw and\n"
    "Direct3D: the display must offer 512 x 384 at 32, 24 or 16 bits.\n"
    "  -window    play in a window instead\n"
    "  --version  the version of the program\n"
    "Escape or the close box leave; F1 flips a beat flag by hand.\n"
    "Environment: KALETH_STATS=1 prints how the sound went at the end.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kaleth-dx %s\n", KALETH_VERSION);
    return 0;
  }
  // The environment this program reads; the display's and the 3D device's offers are the
  // machine's own here, and so is the thread pool.
  std::vector<std::string> warnings;
  const ViewerSettings settings = ReadViewerSettings(nullptr, nullptr, std::getenv("KALETH_STATS"), &warnings);
  for (const std::string& warning : warnings) std::fprintf(stderr, "kaleth-dx: %s\n", warning.c_str());
  const char* data = std::getenv("KALETH_DATA");
  EnterDataFolder("kaleth-dx", KALETH_DATA_FROM_GAMES, data != nullptr ? data : "");
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  WindowsBackend windows;
  WaveOutSoundDevice sound;
  int code = 0;
  {
    Session session(windows, sound);
    code = session.Play(commandLine.c_str());
  }
  if (settings.stats) std::fprintf(stderr, "kaleth-dx: %s\n", sound.Report().c_str());
  return code;
}
