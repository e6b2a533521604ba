// The device's copies of the textures it draws with, laid out for bilinear filtering: each texel
// as a block of sixteen bytes holding it, its right neighbour, its lower neighbour and theirs,
// wrapped, so that one load fetches the four texels round a point.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/direct3d/texture_sampling.h"

struct PaddedTexture {
  std::vector<std::uint8_t> texels;  // height rows of width blocks; texel (x, y) at ((y << widthShift) + x) * 16
  int widthShift = 0;
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
