#include "runtime/startup.h"

#include "d3d/device3d.h"
#include "data/loading_picture.h"
#include "runtime/scenes.h"

void StartUp() {
  ShowLoadingPicture();
  // The music comes in here, between the 3D device and the set-ups.
  CreateDevice3D();
  SetUpScenes();
}
