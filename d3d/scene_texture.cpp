#include "d3d/scene_texture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "data/pcx_loader.h"
#include "display/display.h"
#include "core/errors.h"

namespace {

constexpr int kTextureSide = 256;
constexpr int kRowBytes = kTextureSide * 4;

// A true-colour texture with alpha: the texel layout of the canvas, alpha in the top byte.
DDSURFACEDESC2 TextureDescription() {
  DDSURFACEDESC2 description;
  std::memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
  description.dwHeight = kTextureSide;
  description.dwWidth = kTextureSide;
  description.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
  description.ddpfPixelFormat.dwSize = 32;
  description.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
  description.ddpfPixelFormat.dwRGBBitCount = 32;
  description.ddpfPixelFormat.dwRBitMask = 0xFF0000;
  description.ddpfPixelFormat.dwGBitMask = 0xFF00;
  description.ddpfPixelFormat.dwBBitMask = 0xFF;
  description.ddpfPixelFormat.dwRGBAlphaBitMask = 0xFF000000;
  return description;
}

// What was made so far goes back before the fatal box: the run ends there anyway, and nothing
// is left behind unowned.
[[noreturn]] void Fail(const char* message, std::uint32_t* picture, IDirectDrawSurface4* surface) {
  std::free(picture);
  if (surface) surface->Release();
  FatalError(message);
}

}  // namespace

void SceneTexture::load(const char* member) {
  std::uint32_t* picture = LoadPcx(member);

  DDSURFACEDESC2 description = TextureDescription();
  IDirectDrawSurface4* surface = nullptr;
  if (FAILED(DisplayInterface->CreateSurface(&description, &surface, nullptr))) {
    Fail("Unable to create texture\n", picture, nullptr);
  }

  DDSURFACEDESC2 locked;
  std::memset(&locked, 0, sizeof(locked));
  locked.dwSize = sizeof(locked);
  if (FAILED(surface->Lock(nullptr, &locked, DDLOCK_WRITEONLY, nullptr))) {
    Fail("Couldn`t load texture surface", picture, surface);
  }
  // Row by row at the surface's own pitch: a surface with padded rows takes the picture intact,
  // and one of 1,024-byte rows takes it as the one block it is.
  auto* rows = static_cast<std::uint8_t*>(locked.lpSurface);
  for (int y = 0; y < kTextureSide; ++y) {
    std::memcpy(rows + static_cast<std::ptrdiff_t>(y) * locked.lPitch, picture + y * kTextureSide, kRowBytes);
  }
  surface->Unlock(nullptr);

  void* textureInterface = nullptr;
  if (FAILED(surface->QueryInterface(IID_IDirect3DTexture2, &textureInterface))) {
    Fail("Unable to query texture interface", picture, surface);
  }
  texture = static_cast<IDirect3DTexture2*>(textureInterface);
  // The texture interface alone stands for the texture from here on; it holds the surface.
  surface->Release();
  std::free(picture);
}
