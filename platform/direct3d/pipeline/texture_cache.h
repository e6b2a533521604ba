// The device's copies of the textures it draws with, laid out for bilinear filtering: each texel
// as a block of sixteen bytes holding it, its right neighbour, its lower neighbour and theirs,
// wrapped, so that one load fetches the four texels round a point.
#pragma once

#include <map>

#include "platform/direct3d/pipeline/pipeline.h"
#include "platform/directdraw/ddraw.h"

class TextureCache {
 public:
  TextureCache() = default;
  TextureCache(const TextureCache&) = delete;
  TextureCache& operator=(const TextureCache&) = delete;
  ~TextureCache();

  // The copy of the texture surface seen through `view`, made again when the surface changed.
  const PaddedTexture& Get(IDirectDrawSurface4* surface, const TextureView& view);

 private:
  std::map<IDirectDrawSurface4*, PaddedTexture> copies_;  // each surface held while copied
};
