// DirectDraw over memory: surfaces are byte arrays with a width, height, pitch and depth; the
// full-screen primary is a true flip chain, the windowed primary stands for the client area.
#include "platform/directdraw/ddraw.h"

#include <algorithm>
#include <cstring>

#include "platform/direct3d/d3d.h"
#include "platform/directdraw/display_settings.h"
#include "platform/faults.h"
#include "platform/pixels/pixel_format.h"
#include "platform/windows/backend.h"

namespace {

// A description names its own size, and DirectDraw takes only the one its interface knows: a
// record sized for another build (124 bytes is a 32-bit program's) is refused, not misread.
bool SizedAsDescription(const DDSURFACEDESC2* description) {
  return description != nullptr && description->dwSize == sizeof(DDSURFACEDESC2);
}

constexpr int kModeWidth = 512;
constexpr int kModeHeight = 384;

bool modeOffered(DWORD width, DWORD height, DWORD depth) {
  if (width != kModeWidth || height != kModeHeight) return false;
  const auto& depths = DirectDrawSettings().modeDepths;
  return std::find(depths.begin(), depths.end(), depth) != depths.end();
}

int bytesPerPixel(const DDPIXELFORMAT& format) {
  const DWORD bits = format.dwRGBBitCount;  // shares its place with the depth-buffer bit depth
  return static_cast<int>(std::max<DWORD>(bits, 8) + 7) / 8;
}

}  // namespace

DDPIXELFORMAT RgbPixelFormat(DWORD bitsPerPixel) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = bitsPerPixel;
  if (bitsPerPixel == 32 || bitsPerPixel == 24) {
    format.dwRBitMask = kRed888Mask;
    format.dwGBitMask = kGreen888Mask;
    format.dwBBitMask = kBlue888Mask;
  } else if (bitsPerPixel == 16) {
    format.dwRBitMask = kRed565Mask;
    format.dwGBitMask = kGreen565Mask;
    format.dwBBitMask = kBlue565Mask;
  }
  return format;
}

// ---------------------------------------------------------------------------------------------
// Clipper

HRESULT IDirectDrawClipper::SetHWnd(DWORD, HWND window) {
  window_ = window;
  return DD_OK;
}

// ---------------------------------------------------------------------------------------------
// DirectDraw objects

HRESULT DirectDrawCreate(GUID*, IDirectDraw** directDraw, void*) {
  if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
  *directDraw = nullptr;
  if (faults::Hit("DirectDrawCreate")) return DDERR_GENERIC;
  *directDraw = new IDirectDraw();
  return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return DDERR_INVALIDPARAMS;
  *object = nullptr;
  if (faults::Hit("IDirectDraw::QueryInterface") || !(iid == IID_IDirectDraw4)) return E_NOINTERFACE;
  *object = new IDirectDraw4();
  return S_OK;
}

IDirectDraw4::~IDirectDraw4() {
  // Surfaces the program never releases (textures) outlive the display object.
  for (IDirectDrawSurface4* surface : surfaces_) surface->owner_ = nullptr;
}

HRESULT IDirectDraw4::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return DDERR_INVALIDPARAMS;
  *object = nullptr;
  if (faults::Hit("IDirectDraw4::QueryInterface") || !(iid == IID_IDirect3D3)) return E_NOINTERFACE;
  *object = MakeDirect3D(this);
  return S_OK;
}

DWORD IDirectDraw4::ScreenDepth() const { return modeDepth_ != 0 ? modeDepth_ : DirectDrawSettings().desktopDepth; }

void IDirectDraw4::loseSurfaces() {
  for (IDirectDrawSurface4* surface : surfaces_) surface->lost_ = true;
}

HRESULT IDirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
  if (faults::Hit("IDirectDraw4::SetCooperativeLevel")) return DDERR_GENERIC;
  const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
  if (exclusive && (window == nullptr || (flags & DDSCL_FULLSCREEN) == 0)) return DDERR_INVALIDPARAMS;
  if (exclusive_ && !exclusive && modeDepth_ != 0) {
    // Leaving exclusive mode gives the screen back to the desktop; the surfaces made for the
    // display mode are gone.
    modeDepth_ = 0;
    loseSurfaces();
  }
  window_ = window;
  exclusive_ = exclusive;
  return DD_OK;
}

HRESULT IDirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD, DWORD) {
  if (faults::Hit("IDirectDraw4::SetDisplayMode")) return DDERR_GENERIC;
  if (!exclusive_) return DDERR_NOEXCLUSIVEMODE;
  if (!modeOffered(width, height, bitsPerPixel)) return DDERR_INVALIDMODE;
  if (modeDepth_ != 0 && modeDepth_ != bitsPerPixel) loseSurfaces();
  modeDepth_ = bitsPerPixel;
  return DD_OK;
}

HRESULT IDirectDraw4::CreateClipper(DWORD, IDirectDrawClipper** clipper, void*) {
  if (clipper == nullptr) return DDERR_INVALIDPARAMS;
  *clipper = new IDirectDrawClipper();
  return DD_OK;
}

HRESULT IDirectDraw4::CreateSurface(DDSURFACEDESC2* description, IDirectDrawSurface4** result, void*) {
  if (result == nullptr) return DDERR_INVALIDPARAMS;
  *result = nullptr;
  if (!SizedAsDescription(description) || (description->dwFlags & DDSD_CAPS) == 0) return DDERR_INVALIDPARAMS;
  if (faults::Hit("IDirectDraw4::CreateSurface")) return DDERR_OUTOFVIDEOMEMORY;

  const DWORD caps = description->ddsCaps.dwCaps;
  const bool primary = (caps & DDSCAPS_PRIMARYSURFACE) != 0;
  const bool flipChain = primary && (caps & DDSCAPS_FLIP) != 0;
  int width = 0, height = 0;
  DDPIXELFORMAT format{};

  if (primary) {
    if (flipChain) {
      if (!exclusive_ || modeDepth_ == 0) return DDERR_NOEXCLUSIVEMODE;
      if ((description->dwFlags & DDSD_BACKBUFFERCOUNT) == 0 || description->dwBackBufferCount != 1) {
        return DDERR_INVALIDPARAMS;
      }
      width = kModeWidth;
      height = kModeHeight;
    } else {
      // The windowed primary stands for the client area; it is sized at each blit.
      width = 0;
      height = 0;
    }
    format = RgbPixelFormat(ScreenDepth());
  } else {
    if ((description->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (description->dwWidth == 0 || description->dwHeight == 0 || description->dwWidth > 4096 ||
        description->dwHeight > 4096) {
      return DDERR_INVALIDPARAMS;
    }
    width = static_cast<int>(description->dwWidth);
    height = static_cast<int>(description->dwHeight);
    // A depth surface needs a depth format: its size per pixel comes from the format alone.
    if ((caps & DDSCAPS_ZBUFFER) && (!(description->dwFlags & DDSD_PIXELFORMAT) ||
                                     (description->ddpfPixelFormat.dwFlags & DDPF_ZBUFFER) == 0)) {
      return DDERR_INVALIDPARAMS;
    }
    if (description->dwFlags & DDSD_PIXELFORMAT) {
      format = description->ddpfPixelFormat;
      const DWORD bits = format.dwRGBBitCount;
      if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return DDERR_INVALIDPARAMS;
    } else {
      format = RgbPixelFormat(ScreenDepth());
    }
  }

  auto make = [&](DWORD surfaceCaps) {
    auto* surface = new IDirectDrawSurface4();
    surface->owner_ = this;
    surface->width_ = width;
    surface->height_ = height;
    surface->format_ = format;
    surface->caps_ = surfaceCaps;
    surface->pitch_ = width * bytesPerPixel(format) + DirectDrawSettings().pitchPadding;
    surface->memory_ = std::make_shared<SurfaceMemory>();
    surface->memory_->bytes.resize(static_cast<size_t>(surface->pitch_) * static_cast<size_t>(height));
    surfaces_.push_back(surface);
    return surface;
  };

  if (flipChain) {
    IDirectDrawSurface4* front = make(caps | DDSCAPS_FRONTBUFFER);
    front->backBuffer_ = make((caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | DDSCAPS_BACKBUFFER);
    *result = front;
  } else {
    *result = make(caps);
  }
  return DD_OK;
}

// ---------------------------------------------------------------------------------------------
// Surfaces

IDirectDrawSurface4::~IDirectDrawSurface4() {
  if (backBuffer_) backBuffer_->Release();
  if (depth_) depth_->Release();
  if (clipper_) clipper_->Release();
  if (owner_) std::erase(owner_->surfaces_, this);
}

HRESULT IDirectDrawSurface4::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return DDERR_INVALIDPARAMS;
  *object = nullptr;
  if (faults::Hit("IDirectDrawSurface4::QueryInterface")) return E_NOINTERFACE;
  // Only a texture surface is a texture.
  if (!(iid == IID_IDirect3DTexture2) || (caps_ & DDSCAPS_TEXTURE) == 0) return E_NOINTERFACE;
  *object = MakeTexture(this);
  return S_OK;
}

HRESULT IDirectDrawSurface4::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** surface) {
  if (caps == nullptr || surface == nullptr) return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  if (faults::Hit("IDirectDrawSurface4::GetAttachedSurface")) return DDERR_NOTFOUND;
  IDirectDrawSurface4* candidates[] = {backBuffer_, depth_};
  for (IDirectDrawSurface4* candidate : candidates) {
    if (candidate && (candidate->caps_ & caps->dwCaps) == caps->dwCaps) {
      candidate->AddRef();
      *surface = candidate;
      return DD_OK;
    }
  }
  return DDERR_NOTFOUND;
}

HRESULT IDirectDrawSurface4::AddAttachedSurface(IDirectDrawSurface4* surface) {
  if (surface == nullptr || surface == this) return DDERR_INVALIDPARAMS;
  if (faults::Hit("IDirectDrawSurface4::AddAttachedSurface")) return DDERR_CANNOTATTACHSURFACE;
  if ((surface->caps_ & DDSCAPS_ZBUFFER) == 0 || depth_ != nullptr) return DDERR_CANNOTATTACHSURFACE;
  if (surface->width_ != width_ || surface->height_ != height_) return DDERR_CANNOTATTACHSURFACE;
  surface->AddRef();
  depth_ = surface;
  return DD_OK;
}

HRESULT IDirectDrawSurface4::GetPixelFormat(DDPIXELFORMAT* format) {
  if (format == nullptr) return DDERR_INVALIDPARAMS;
  *format = format_;
  return DD_OK;
}

HRESULT IDirectDrawSurface4::GetSurfaceDesc(DDSURFACEDESC2* description) {
  if (!SizedAsDescription(description)) return DDERR_INVALIDPARAMS;
  description->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  description->dwWidth = static_cast<DWORD>(width_);
  description->dwHeight = static_cast<DWORD>(height_);
  description->lPitch = pitch_;
  description->ddpfPixelFormat = format_;
  description->ddsCaps = DDSCAPS2{caps_, 0, 0, 0};
  return DD_OK;
}

HRESULT IDirectDrawSurface4::SetClipper(IDirectDrawClipper* clipper) {
  if (clipper) clipper->AddRef();
  if (clipper_) clipper_->Release();
  clipper_ = clipper;
  return DD_OK;
}

HRESULT IDirectDrawSurface4::IsLost() { return lost_ ? DDERR_SURFACELOST : DD_OK; }

HRESULT IDirectDrawSurface4::Lock(RECT* rect, DDSURFACEDESC2* description, DWORD, void*) {
  if (!SizedAsDescription(description)) return DDERR_INVALIDPARAMS;
  if (faults::Hit("IDirectDrawSurface4::Lock")) return DDERR_GENERIC;
  if (lost_) return DDERR_SURFACELOST;
  if (locked_) return DDERR_SURFACEBUSY;
  if (width_ == 0 || height_ == 0) return DDERR_INVALIDPARAMS;
  std::size_t offset = 0;
  if (rect != nullptr) {
    if (rect->left < 0 || rect->top < 0 || rect->right > width_ || rect->bottom > height_ ||
        rect->left >= rect->right || rect->top >= rect->bottom) {
      return DDERR_INVALIDPARAMS;
    }
    offset = static_cast<std::size_t>(rect->top) * static_cast<std::size_t>(pitch_) +
             static_cast<std::size_t>(rect->left) * static_cast<std::size_t>(bytesPerPixel(format_));
  }
  GetSurfaceDesc(description);
  description->dwFlags |= DDSD_LPSURFACE;
  description->lpSurface = Pixels() + offset;
  locked_ = true;
  return DD_OK;
}

HRESULT IDirectDrawSurface4::Unlock(RECT*) {
  if (faults::Hit("IDirectDrawSurface4::Unlock")) return DDERR_GENERIC;
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  ++generation_;
  return DD_OK;
}

void IDirectDrawSurface4::presentToScreen() {
  FrameView frame{Pixels(), width_, height_, pitch_, BitsPerPixel()};
  ActiveWindowsBackend().Present(frame);
}

bool IDirectDrawSurface4::isWindowedPrimary() const {
  return (caps_ & DDSCAPS_PRIMARYSURFACE) && !(caps_ & DDSCAPS_FLIP);
}

// A blit into the windowed primary, and a flip, are the program's presents: one that fails
// still tells the screen that a frame went by.
HRESULT IDirectDrawSurface4::Blt(RECT* destRect, IDirectDrawSurface4* source, RECT* sourceRect, DWORD, DDBLTFX*) {
  const HRESULT result = blit(destRect, source, sourceRect);
  if (result != DD_OK && isWindowedPrimary()) ActiveWindowsBackend().PresentFailed();
  return result;
}

HRESULT IDirectDrawSurface4::Flip(IDirectDrawSurface4*, DWORD) {
  const HRESULT result = flipPages();
  if (result != DD_OK && (caps_ & DDSCAPS_PRIMARYSURFACE)) ActiveWindowsBackend().PresentFailed();
  return result;
}

HRESULT IDirectDrawSurface4::blit(RECT* destRect, IDirectDrawSurface4* source, RECT* sourceRect) {
  if (source == nullptr) return DDERR_INVALIDPARAMS;
  if (faults::Hit("IDirectDrawSurface4::Blt")) return DDERR_GENERIC;
  if (lost_ || source->lost_) return DDERR_SURFACELOST;
  if (locked_ || source->locked_) return DDERR_SURFACEBUSY;
  if (source->format_.dwRGBBitCount != format_.dwRGBBitCount) return DDERR_UNSUPPORTED;

  const bool windowedPrimary = isWindowedPrimary();
  RECT dest = destRect ? *destRect : RECT{0, 0, width_, height_};
  if (windowedPrimary) {
    // The primary is the window's client area: follow its size, and take the destination from
    // screen coordinates to client coordinates.
    HWND window = clipper_ ? clipper_->Window() : CurrentMainWindow();
    int clientWidth = 0, clientHeight = 0;
    ActiveWindowsBackend().ClientArea(&clientWidth, &clientHeight);
    if (clientWidth != width_ || clientHeight != height_) {
      width_ = clientWidth;
      height_ = clientHeight;
      pitch_ = width_ * bytesPerPixel(format_) + DirectDrawSettings().pitchPadding;
      memory_->bytes.assign(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height_), 0);
    }
    POINT origin{0, 0};
    if (window) ClientToScreen(window, &origin);
    if (destRect) OffsetRect(&dest, -origin.x, -origin.y);
    else dest = RECT{0, 0, width_, height_};
  }
  const RECT src = sourceRect ? *sourceRect : RECT{0, 0, source->width_, source->height_};
  if (src.left < 0 || src.top < 0 || src.right > source->width_ || src.bottom > source->height_ ||
      src.left >= src.right || src.top >= src.bottom || dest.left >= dest.right || dest.top >= dest.bottom) {
    return DDERR_INVALIDPARAMS;
  }

  // Nearest-neighbour stretch; the destination is clipped to the surface (the clipper's job).
  const int bytes = bytesPerPixel(format_);
  const long destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
  const long srcWidth = src.right - src.left, srcHeight = src.bottom - src.top;
  const long x0 = std::max<long>(dest.left, 0), x1 = std::min<long>(dest.right, width_);
  const long y0 = std::max<long>(dest.top, 0), y1 = std::min<long>(dest.bottom, height_);
  for (long y = y0; y < y1; ++y) {
    const long sy = src.top + (y - dest.top) * srcHeight / destHeight;
    const std::uint8_t* srcRow = source->Pixels() + sy * source->pitch_;
    std::uint8_t* destRow = Pixels() + y * pitch_;
    if (destWidth == srcWidth) {
      std::memmove(destRow + x0 * bytes, srcRow + (src.left + x0 - dest.left) * bytes,
                   static_cast<std::size_t>(x1 - x0) * bytes);
      continue;
    }
    for (long x = x0; x < x1; ++x) {
      const long sx = src.left + (x - dest.left) * srcWidth / destWidth;
      std::memcpy(destRow + x * bytes, srcRow + sx * bytes, static_cast<std::size_t>(bytes));
    }
  }
  ++generation_;
  if (windowedPrimary) presentToScreen();
  return DD_OK;
}

HRESULT IDirectDrawSurface4::flipPages() {
  if (faults::Hit("IDirectDrawSurface4::Flip")) return DDERR_GENERIC;
  if (backBuffer_ == nullptr) return DDERR_INVALIDOBJECT;
  if (lost_ || backBuffer_->lost_) return DDERR_SURFACELOST;
  if (locked_ || backBuffer_->locked_) return DDERR_SURFACEBUSY;
  // The pages trade their memory: the back buffer becomes the previous front page.
  std::swap(memory_, backBuffer_->memory_);
  presentToScreen();
  return DD_OK;
}
