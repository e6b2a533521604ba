#include "runtime/startup.h"

#include "data/loading_picture.h"
#include "runtime/scenes.h"

void StartUp() {
  ShowLoadingPicture();
  // The 3D device and the music come in here, between the loading picture and the set-ups.
  SetUpScenes();
}
