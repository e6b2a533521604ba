#include "runtime/startup.h"

#include "runtime/scenes.h"

void StartUp() {
  // The loading picture, the 3D device and the music come in here, before the set-ups.
  SetUpScenes();
}
