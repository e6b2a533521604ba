#include "runtime/startup.h"

#include "d3d/device3d.h"
#include "display/loading_picture.h"
#include "music/music.h"
#include "runtime/schedule.h"

void StartUp() {
  ShowLoadingPicture();
  // The 3D device exists before any scene is set up: the set-ups make textures and lights with
  // it. The music is loaded before the set-ups too, since two of them set syncs on it.
  CreateDevice3D();
  LoadMusic("kaleth.xm");
  SetUpScenes();
  // Slot 0 begins right after this.
  StartMusic();
}
