#include "runtime/startup.h"

#include "d3d/device3d.h"
#include "data/loading_picture.h"
#include "runtime/scenes.h"

void StartUp() {
  ShowLoadingPicture();
  // The 3D device exists before any scene is set up: the set-ups make textures and lights with
  // it. The music comes in between the two.
  CreateDevice3D();
  SetUpScenes();
}
