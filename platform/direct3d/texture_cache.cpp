#include "platform/direct3d/texture_cache.h"

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
  copy.pitch = (width + 1) * 4;
  copy.widthMask = view.widthMask;
  copy.heightMask = view.heightMask;
  copy.generation = surface->Generation();
  copy.texels.resize(static_cast<std::size_t>(copy.pitch) * static_cast<std::size_t>(height + 1));
  for (int y = 0; y <= height; ++y) {
    const std::uint8_t* source = view.texels + static_cast<std::ptrdiff_t>(y & view.heightMask) * view.pitch;
    std::uint8_t* row = copy.texels.data() + static_cast<std::ptrdiff_t>(y) * copy.pitch;
    std::memcpy(row, source, static_cast<std::size_t>(width) * 4);
    std::memcpy(row + width * 4, source, 4);
  }
  return copy;
}
