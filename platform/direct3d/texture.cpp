// IDirect3DTexture2: what a texture surface hands out for IID_IDirect3DTexture2, and the
// texture's texels as the pipeline reads them.
#include "platform/direct3d/d3d.h"
#include "platform/direct3d/pipeline/texture_sampling.h"

IDirect3DTexture2* MakeTexture(IDirectDrawSurface4* surface) {
  auto* texture = new IDirect3DTexture2();
  surface->AddRef();
  texture->surface_ = surface;
  return texture;
}

IDirect3DTexture2::~IDirect3DTexture2() { surface_->Release(); }

bool MakeTextureView(IDirectDrawSurface4* surface, TextureView* view) {
  const DDPIXELFORMAT& format = surface->Format();
  const int width = surface->Width(), height = surface->Height();
  // Wrap addressing masks the texel indices, so both sides must be powers of two.
  auto powerOfTwo = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
  if ((format.dwFlags & DDPF_RGB) == 0 || format.dwRGBBitCount != 32 || format.dwRBitMask != 0xFF0000 ||
      format.dwGBitMask != 0xFF00 || format.dwBBitMask != 0xFF || !powerOfTwo(width) || !powerOfTwo(height)) {
    return false;
  }
  view->texels = surface->Pixels();
  view->pitch = surface->Pitch();
  view->widthMask = width - 1;
  view->heightMask = height - 1;
  view->width = static_cast<float>(width);
  view->height = static_cast<float>(height);
  return true;
}
