#include "platform/direct3d/pipeline/texture_cache.h"

#include <cstring>

TextureCache::~TextureCache() {
  for (auto& [surface, copy] : copies_) surface->Release();
}

const PaddedTexture& TextureCache::Get(IDirectDrawSurface4* surface, const TextureView& view) {
  auto found = copies_.find(surface);
  if (found != copies_.end() && found->second.generation == surface->Generation()) return found->second;
  if (found == copies_.end()) {
    surface->AddRef();
    found = copies_.emplace(surface, PaddedTexture{}).first;
  }
  PaddedTexture& copy = found->second;
  const int width = view.widthMask + 1, height = view.heightMask + 1;
  copy.widthShift = __builtin_ctz(static_cast<unsigned>(width));
  copy.widthMask = view.widthMask;
  copy.heightMask = view.heightMask;
  copy.generation = surface->Generation();
  copy.texels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 16);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* block = copy.texels.data() + ((static_cast<std::ptrdiff_t>(y) << copy.widthShift) + x) * 16;
      for (int corner = 0; corner < 4; ++corner) {
        const int cx = (x + (corner & 1)) & view.widthMask, cy = (y + (corner >> 1)) & view.heightMask;
        std::memcpy(block + 4 * corner, view.texels + static_cast<std::ptrdiff_t>(cy) * view.pitch + cx * 4, 4);
      }
    }
  }
  return copy;
}
