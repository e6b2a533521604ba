// The DirectDraw 4 names the system calls, with their real values, over memory surfaces.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/windows/win32.h"

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
  bool operator==(const GUID&) const = default;
};
using REFIID = const GUID&;
using REFCLSID = const GUID&;

constexpr GUID IID_IDirectDraw4 = {0x9c59509a, 0x39bd, 0x11d1, {0x8c, 0x4a, 0x00, 0xc0, 0x4f, 0xd9, 0x30, 0xc5}};
constexpr GUID IID_IDirect3D3 = {0xbb223240, 0xe72b, 0x11d0, {0xa9, 0xb4, 0x00, 0xaa, 0x00, 0xc0, 0x99, 0x3e}};
constexpr GUID IID_IDirect3DTexture2 = {0x93281502, 0x8cf8, 0x11d0, {0x89, 0xab, 0x00, 0xa0, 0xc9, 0x05, 0x41, 0x29}};
constexpr GUID IID_IDirect3DHALDevice = {0x84e63de0, 0x46aa, 0x11cf, {0x81, 0x6f, 0x00, 0x00, 0xc0, 0x20, 0x15, 0x6e}};

constexpr HRESULT S_OK = 0;
constexpr HRESULT DD_OK = 0;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_INVALIDMODE = static_cast<HRESULT>(0x88760078u);
constexpr HRESULT DDERR_INVALIDOBJECT = static_cast<HRESULT>(0x88760082u);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = static_cast<HRESULT>(0x887600E1u);
constexpr HRESULT DDERR_NOTFOUND = static_cast<HRESULT>(0x887600FFu);
constexpr HRESULT DDERR_NOTLOCKED = static_cast<HRESULT>(0x887602DAu);
constexpr HRESULT DDERR_SURFACEBUSY = static_cast<HRESULT>(0x887601AEu);
constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2u);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);
constexpr HRESULT DDERR_CANNOTATTACHSURFACE = static_cast<HRESULT>(0x8876006Eu);

inline bool FAILED(HRESULT hr) { return hr < 0; }
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x00000001;
constexpr DWORD DDSCL_NORMAL = 0x00000008;
constexpr DWORD DDSCL_EXCLUSIVE = 0x00000010;
constexpr DWORD DDSCL_FPUSETUP = 0x00000800;

// Surface description flags.
constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_PITCH = 0x00000008;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x00000020;
constexpr DWORD DDSD_LPSURFACE = 0x00000800;
constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;

// Surface capabilities.
constexpr DWORD DDSCAPS_BACKBUFFER = 0x00000004;
constexpr DWORD DDSCAPS_COMPLEX = 0x00000008;
constexpr DWORD DDSCAPS_FLIP = 0x00000010;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x00000020;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x00000800;
constexpr DWORD DDSCAPS_TEXTURE = 0x00001000;
constexpr DWORD DDSCAPS_3DDEVICE = 0x00002000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00004000;
constexpr DWORD DDSCAPS_ZBUFFER = 0x00020000;

// Pixel format flags.
constexpr DWORD DDPF_ALPHAPIXELS = 0x00000001;
constexpr DWORD DDPF_RGB = 0x00000040;
constexpr DWORD DDPF_ZBUFFER = 0x00000400;
constexpr DWORD DDPF_STENCILBUFFER = 0x00004000;

// Lock, blit and flip flags.
constexpr DWORD DDLOCK_WAIT = 0x00000001;
constexpr DWORD DDLOCK_WRITEONLY = 0x00000020;
constexpr DWORD DDBLT_WAIT = 0x01000000;
constexpr DWORD DDFLIP_WAIT = 0x00000001;

struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  union {
    DWORD dwRGBBitCount;
    DWORD dwZBufferBitDepth;
  };
  union {
    DWORD dwRBitMask;
    DWORD dwStencilBitDepth;
  };
  union {
    DWORD dwGBitMask;
    DWORD dwZBitMask;
  };
  union {
    DWORD dwBBitMask;
    DWORD dwStencilBitMask;
  };
  union {
    DWORD dwRGBAlphaBitMask;
    DWORD dwRGBZBitMask;
  };
};
static_assert(sizeof(DDPIXELFORMAT) == 32);

struct DDSCAPS2 {
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCaps3;
  DWORD dwCaps4;
};

struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
};

struct DDSURFACEDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  union {
    LONG lPitch;
    DWORD dwLinearSize;
  };
  DWORD dwBackBufferCount;
  union {
    DWORD dwMipMapCount;
    DWORD dwRefreshRate;
  };
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  void* lpSurface;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS2 ddsCaps;
  DWORD dwTextureStage;
};

struct DDBLTFX;
using LPDDENUMCALLBACK = void*;

// Reference counting shared by every stand-in object.
class ComObject {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  ULONG AddRef() { return ++references_; }
  ULONG Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

 private:
  ULONG references_ = 1;
};

class IDirectDraw4;
class IDirectDrawSurface4;

class IDirectDrawClipper : public ComObject {
 public:
  HRESULT SetHWnd(DWORD flags, HWND window);
  HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// The memory behind a surface; a flip swaps it between the front and the back page.
struct SurfaceMemory {
  std::vector<std::uint8_t> bytes;
};

class IDirectDrawSurface4 : public ComObject {
 public:
  HRESULT QueryInterface(REFIID iid, void** object);
  HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** surface);
  HRESULT AddAttachedSurface(IDirectDrawSurface4* surface);
  HRESULT GetPixelFormat(DDPIXELFORMAT* format);
  HRESULT GetSurfaceDesc(DDSURFACEDESC2* description);
  HRESULT SetClipper(IDirectDrawClipper* clipper);
  HRESULT Lock(RECT* rect, DDSURFACEDESC2* description, DWORD flags, void* event);
  HRESULT Unlock(RECT* rect);
  HRESULT Blt(RECT* destRect, IDirectDrawSurface4* source, RECT* sourceRect, DWORD flags, DDBLTFX* effects);
  HRESULT Flip(IDirectDrawSurface4* target, DWORD flags);
  HRESULT IsLost();

  // For the stand-ins (Direct3D, capture): the surface's shape and memory.
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Pitch() const { return pitch_; }
  int BitsPerPixel() const { return static_cast<int>(format_.dwRGBBitCount); }
  const DDPIXELFORMAT& Format() const { return format_; }
  DWORD Caps() const { return caps_; }
  std::uint8_t* Pixels() { return memory_->bytes.data(); }
  const std::uint8_t* Pixels() const { return memory_->bytes.data(); }
  IDirectDrawSurface4* AttachedDepth() const { return depth_; }
  // Counts the changes made through the interface (each Unlock, each blit into it), so that a
  // copy kept elsewhere (the device's texture copies) knows when it is stale.
  unsigned Generation() const { return generation_; }
  // Marks the surface lost, as when the display takes it away (switching away full-screen).
  void MarkLost() { lost_ = true; }

 protected:
  ~IDirectDrawSurface4() override;

 private:
  friend class IDirectDraw4;
  IDirectDraw4* owner_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int pitch_ = 0;
  DWORD caps_ = 0;
  DDPIXELFORMAT format_{};
  std::shared_ptr<SurfaceMemory> memory_;
  IDirectDrawSurface4* backBuffer_ = nullptr;  // attached back page of a flipping chain
  IDirectDrawSurface4* depth_ = nullptr;       // attached depth buffer
  IDirectDrawClipper* clipper_ = nullptr;
  bool locked_ = false;
  bool lost_ = false;
  unsigned generation_ = 0;

  bool isWindowedPrimary() const;
  HRESULT blit(RECT* destRect, IDirectDrawSurface4* source, RECT* sourceRect);
  HRESULT flipPages();
  void presentToScreen();
};

class IDirectDraw4 : public ComObject {
 public:
  HRESULT QueryInterface(REFIID iid, void** object);
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags);
  HRESULT CreateSurface(DDSURFACEDESC2* description, IDirectDrawSurface4** surface, void* outer);
  HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer);

  // The depth the screen shows now: the display mode's in exclusive mode, the desktop's otherwise.
  DWORD ScreenDepth() const;

 protected:
  ~IDirectDraw4() override;

 private:
  friend class IDirectDrawSurface4;
  HWND window_ = nullptr;
  bool exclusive_ = false;
  DWORD modeDepth_ = 0;  // 0 while the desktop mode is in force
  std::vector<IDirectDrawSurface4*> surfaces_;  // live surfaces, lost when the mode changes
  void loseSurfaces();
};

// The object DirectDrawCreate hands out; the system asks it for IDirectDraw4.
class IDirectDraw : public ComObject {
 public:
  HRESULT QueryInterface(REFIID iid, void** object);
};

HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** directDraw, void* outer);

// Fills a pixel format record for a display depth (32, 24 or 16 bits).
DDPIXELFORMAT RgbPixelFormat(DWORD bitsPerPixel);
