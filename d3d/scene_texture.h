// A PCX picture of the package turned into a 256 x 256 Direct3D texture.
#pragma once

#include "platform/direct3d/d3d.h"

struct SceneTexture {
  IDirect3DTexture2* texture = nullptr;  // empty until loaded

  // Fills the texture from the PCX member; every failure is fatal. The member must be a 256 x 256
  // picture.
  void load(const char* member);
};
