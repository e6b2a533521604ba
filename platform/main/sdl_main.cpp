// The kaleth executable: the system on the sdl backend. The command line handed to the entry is
// what follows the program's name, the arguments joined by single blanks.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/soundlib/bass.h"
#include "platform/windows/sdl_backend.h"
#include "runtime/entry.h"

int main(int argc, char** argv) {
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "kaleth: cannot open the display: %s\n", SDL_GetError());
    return 0;
  }
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  int code = 0;
  {
    SdlBackend backend;
    SetWindowsBackend(&backend);
    code = WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT);
    // The music never stops by itself; it ends here, before the device under it goes.
    ResetSoundLibrary();
    ResetWindowsState();
    SetWindowsBackend(nullptr);
  }
  SDL_Quit();
  return code;
}
