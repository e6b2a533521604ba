// The device's copies of the textures it draws with, laid out for bilinear filtering: every row
// followed by a copy of its first texel and the rows followed by a copy of the first row, so that
// a texel's right and lower neighbours are always next to it, wrap or not.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/direct3d/texture_sampling.h"

struct PaddedTexture {
  std::vector<std::uint8_t> texels;  // (height + 1) rows of (width + 1) texels of 4 bytes
  int pitch = 0;
  int widthMask = 0, heightMask = 0;
  unsigned generation = 0;  // the surface's generation the copy was made from
};

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
