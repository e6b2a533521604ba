// The Direct3D 3 names the system calls (immediate mode, DirectX 6), with their real values, over
// a software fixed-function pipeline that draws into the DirectDraw stand-in's memory surfaces.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/directdraw/ddraw.h"

using D3DVALUE = float;
using D3DCOLOR = DWORD;  // 0xAARRGGBB
using D3DMATERIALHANDLE = DWORD;

constexpr HRESULT MakeDirectDrawResult(unsigned code) { return static_cast<HRESULT>(0x88760000u + code); }

constexpr HRESULT D3D_OK = DD_OK;
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDirectDrawResult(145);
constexpr HRESULT D3DERR_INVALID_DEVICE = MakeDirectDrawResult(705);
constexpr HRESULT D3DERR_INVALIDPRIMITIVETYPE = MakeDirectDrawResult(736);
constexpr HRESULT D3DERR_TEXTURE_BADSIZE = MakeDirectDrawResult(738);
constexpr HRESULT D3DERR_LIGHT_SET_FAILED = MakeDirectDrawResult(750);
constexpr HRESULT D3DERR_LIGHTHASVIEWPORT = MakeDirectDrawResult(751);
constexpr HRESULT D3DERR_SCENE_IN_SCENE = MakeDirectDrawResult(760);
constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = MakeDirectDrawResult(761);
constexpr HRESULT D3DERR_VIEWPORTDATANOTSET = MakeDirectDrawResult(773);
constexpr HRESULT D3DERR_VIEWPORTHASNODEVICE = MakeDirectDrawResult(774);
constexpr HRESULT D3DERR_NOCURRENTVIEWPORT = MakeDirectDrawResult(775);
constexpr HRESULT D3DERR_INVALIDVERTEXFORMAT = MakeDirectDrawResult(2048);
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = MakeDirectDrawResult(2072);
constexpr HRESULT D3DERR_UNSUPPORTEDFACTORVALUE = MakeDirectDrawResult(2079);
constexpr HRESULT D3DERR_UNSUPPORTEDTEXTUREFILTER = MakeDirectDrawResult(2082);

// Enumeration callbacks say whether the enumeration goes on.
constexpr HRESULT D3DENUMRET_CANCEL = 0;
constexpr HRESULT D3DENUMRET_OK = 1;
using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT(CALLBACK*)(DDPIXELFORMAT* format, void* context);

struct D3DVECTOR {
  union {
    D3DVALUE x;
    D3DVALUE dvX;
  };
  union {
    D3DVALUE y;
    D3DVALUE dvY;
  };
  union {
    D3DVALUE z;
    D3DVALUE dvZ;
  };
};

struct D3DCOLORVALUE {
  union {
    D3DVALUE r;
    D3DVALUE dvR;
  };
  union {
    D3DVALUE g;
    D3DVALUE dvG;
  };
  union {
    D3DVALUE b;
    D3DVALUE dvB;
  };
  union {
    D3DVALUE a;
    D3DVALUE dvA;
  };
};

// Row-major, applied to row vectors: the translation is the fourth row.
struct D3DMATRIX {
  D3DVALUE _11, _12, _13, _14;
  D3DVALUE _21, _22, _23, _24;
  D3DVALUE _31, _32, _33, _34;
  D3DVALUE _41, _42, _43, _44;
};

// Position, normal and one texture coordinate pair: the layout D3DFVF_VERTEX names.
struct D3DVERTEX {
  union {
    D3DVALUE x;
    D3DVALUE dvX;
  };
  union {
    D3DVALUE y;
    D3DVALUE dvY;
  };
  union {
    D3DVALUE z;
    D3DVALUE dvZ;
  };
  union {
    D3DVALUE nx;
    D3DVALUE dvNX;
  };
  union {
    D3DVALUE ny;
    D3DVALUE dvNY;
  };
  union {
    D3DVALUE nz;
    D3DVALUE dvNZ;
  };
  union {
    D3DVALUE tu;
    D3DVALUE dvTU;
  };
  union {
    D3DVALUE tv;
    D3DVALUE dvTV;
  };
};
static_assert(sizeof(D3DVERTEX) == 32);

struct D3DRECT {
  union {
    LONG x1;
    LONG lX1;
  };
  union {
    LONG y1;
    LONG lY1;
  };
  union {
    LONG x2;
    LONG lX2;
  };
  union {
    LONG y2;
    LONG lY2;
  };
};

struct D3DVIEWPORT2 {
  DWORD dwSize;
  DWORD dwX;
  DWORD dwY;
  DWORD dwWidth;
  DWORD dwHeight;
  D3DVALUE dvClipX;
  D3DVALUE dvClipY;
  D3DVALUE dvClipWidth;
  D3DVALUE dvClipHeight;
  D3DVALUE dvMinZ;
  D3DVALUE dvMaxZ;
};
static_assert(sizeof(D3DVIEWPORT2) == 44);

struct D3DMATERIAL {
  DWORD dwSize;
  union {
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE dcvDiffuse;
  };
  union {
    D3DCOLORVALUE ambient;
    D3DCOLORVALUE dcvAmbient;
  };
  union {
    D3DCOLORVALUE specular;
    D3DCOLORVALUE dcvSpecular;
  };
  union {
    D3DCOLORVALUE emissive;
    D3DCOLORVALUE dcvEmissive;
  };
  union {
    D3DVALUE power;
    D3DVALUE dvPower;
  };
  DWORD hTexture;
  DWORD dwRampSize;
};
static_assert(sizeof(D3DMATERIAL) == 80);

enum D3DLIGHTTYPE : std::uint32_t {
  D3DLIGHT_POINT = 1,
  D3DLIGHT_SPOT = 2,
  D3DLIGHT_DIRECTIONAL = 3,
  D3DLIGHT_PARALLELPOINT = 4,
};

constexpr DWORD D3DLIGHT_ACTIVE = 0x00000001;
constexpr DWORD D3DLIGHT_NO_SPECULAR = 0x00000002;
// The square root of the largest single-precision value.
inline const D3DVALUE D3DLIGHT_RANGE_MAX = static_cast<D3DVALUE>(std::sqrt(FLT_MAX));

// The older light record: no flags, always active.
struct D3DLIGHT {
  DWORD dwSize;
  D3DLIGHTTYPE dltType;
  D3DCOLORVALUE dcvColor;
  D3DVECTOR dvPosition;
  D3DVECTOR dvDirection;
  D3DVALUE dvRange;
  D3DVALUE dvFalloff;
  D3DVALUE dvAttenuation0;
  D3DVALUE dvAttenuation1;
  D3DVALUE dvAttenuation2;
  D3DVALUE dvTheta;
  D3DVALUE dvPhi;
};
static_assert(sizeof(D3DLIGHT) == 76);

struct D3DLIGHT2 {
  DWORD dwSize;
  D3DLIGHTTYPE dltType;
  D3DCOLORVALUE dcvColor;
  D3DVECTOR dvPosition;
  D3DVECTOR dvDirection;
  D3DVALUE dvRange;
  D3DVALUE dvFalloff;
  D3DVALUE dvAttenuation0;
  D3DVALUE dvAttenuation1;
  D3DVALUE dvAttenuation2;
  D3DVALUE dvTheta;
  D3DVALUE dvPhi;
  DWORD dwFlags;
};
static_assert(sizeof(D3DLIGHT2) == 80);

struct D3DDP_PTRSTRIDE {
  void* lpvData;
  DWORD dwStride;
};

constexpr int D3DDP_MAXTEXCOORD = 8;

struct D3DDRAWPRIMITIVESTRIDEDDATA {
  D3DDP_PTRSTRIDE position;
  D3DDP_PTRSTRIDE normal;
  D3DDP_PTRSTRIDE diffuse;
  D3DDP_PTRSTRIDE specular;
  D3DDP_PTRSTRIDE textureCoords[D3DDP_MAXTEXCOORD];
};

// Flexible vertex format bits.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_POSITION_MASK = 0x00E;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr DWORD D3DFVF_TEX0 = 0x000;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_VERTEX = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// DrawPrimitive flags.
constexpr DWORD D3DDP_WAIT = 0x00000001;
constexpr DWORD D3DDP_DONOTCLIP = 0x00000004;
constexpr DWORD D3DDP_DONOTUPDATEEXTENTS = 0x00000008;
constexpr DWORD D3DDP_DONOTLIGHT = 0x00000010;

enum D3DPRIMITIVETYPE : std::uint32_t {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

enum D3DTRANSFORMSTATETYPE : std::uint32_t {
  D3DTRANSFORMSTATE_WORLD = 1,
  D3DTRANSFORMSTATE_VIEW = 2,
  D3DTRANSFORMSTATE_PROJECTION = 3,
};

enum D3DLIGHTSTATETYPE : std::uint32_t {
  D3DLIGHTSTATE_MATERIAL = 1,
  D3DLIGHTSTATE_AMBIENT = 2,
  D3DLIGHTSTATE_COLORMODEL = 3,
  D3DLIGHTSTATE_FOGMODE = 4,
  D3DLIGHTSTATE_FOGSTART = 5,
  D3DLIGHTSTATE_FOGEND = 6,
  D3DLIGHTSTATE_FOGDENSITY = 7,
  D3DLIGHTSTATE_COLORVERTEX = 8,
};

enum D3DRENDERSTATETYPE : std::uint32_t {
  D3DRENDERSTATE_TEXTUREHANDLE = 1,
  D3DRENDERSTATE_ANTIALIAS = 2,
  D3DRENDERSTATE_TEXTUREADDRESS = 3,
  D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4,
  D3DRENDERSTATE_WRAPU = 5,
  D3DRENDERSTATE_WRAPV = 6,
  D3DRENDERSTATE_ZENABLE = 7,
  D3DRENDERSTATE_FILLMODE = 8,
  D3DRENDERSTATE_SHADEMODE = 9,
  D3DRENDERSTATE_LINEPATTERN = 10,
  D3DRENDERSTATE_MONOENABLE = 11,
  D3DRENDERSTATE_ROP2 = 12,
  D3DRENDERSTATE_PLANEMASK = 13,
  D3DRENDERSTATE_ZWRITEENABLE = 14,
  D3DRENDERSTATE_ALPHATESTENABLE = 15,
  D3DRENDERSTATE_LASTPIXEL = 16,
  D3DRENDERSTATE_TEXTUREMAG = 17,
  D3DRENDERSTATE_TEXTUREMIN = 18,
  D3DRENDERSTATE_SRCBLEND = 19,
  D3DRENDERSTATE_DESTBLEND = 20,
  D3DRENDERSTATE_TEXTUREMAPBLEND = 21,
  D3DRENDERSTATE_CULLMODE = 22,
  D3DRENDERSTATE_ZFUNC = 23,
  D3DRENDERSTATE_ALPHAREF = 24,
  D3DRENDERSTATE_ALPHAFUNC = 25,
  D3DRENDERSTATE_DITHERENABLE = 26,
  D3DRENDERSTATE_ALPHABLENDENABLE = 27,
  D3DRENDERSTATE_FOGENABLE = 28,
  D3DRENDERSTATE_SPECULARENABLE = 29,
};

enum D3DZBUFFERTYPE : std::uint32_t {
  D3DZB_FALSE = 0,
  D3DZB_TRUE = 1,
};

enum D3DCULL : std::uint32_t {
  D3DCULL_NONE = 1,
  D3DCULL_CW = 2,
  D3DCULL_CCW = 3,
};

enum D3DTEXTUREFILTER : std::uint32_t {
  D3DFILTER_NEAREST = 1,
  D3DFILTER_LINEAR = 2,
  D3DFILTER_MIPNEAREST = 3,
  D3DFILTER_MIPLINEAR = 4,
  D3DFILTER_LINEARMIPNEAREST = 5,
  D3DFILTER_LINEARMIPLINEAR = 6,
};

enum D3DBLEND : std::uint32_t {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
};

// Viewport clear flags.
constexpr DWORD D3DCLEAR_TARGET = 0x00000001;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x00000002;

class IDirect3D3;
class IDirect3DDevice3;
class IDirect3DViewport3;
class IDirect3DMaterial3;
class IDirect3DLight;
class IDirect3DTexture2;
struct DeviceCore;

class IDirect3D3 : public ComObject {
 public:
  // Offers the depth formats of the device named (the HAL device only) to the callback in turn.
  HRESULT EnumZBufferFormats(REFCLSID device, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context);
  HRESULT CreateDevice(REFCLSID device, IDirectDrawSurface4* target, IDirect3DDevice3** result, void* outer);
  HRESULT CreateViewport(IDirect3DViewport3** result, void* outer);
  HRESULT CreateMaterial(IDirect3DMaterial3** result, void* outer);
  HRESULT CreateLight(IDirect3DLight** result, void* outer);

 protected:
  ~IDirect3D3() override;

 private:
  friend IDirect3D3* MakeDirect3D(IDirectDraw4* directDraw);
  IDirectDraw4* directDraw_ = nullptr;
};

class IDirect3DDevice3 : public ComObject {
 public:
  HRESULT AddViewport(IDirect3DViewport3* viewport);
  HRESULT SetCurrentViewport(IDirect3DViewport3* viewport);
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
  HRESULT BeginScene();
  HRESULT EndScene();
  HRESULT SetTexture(DWORD stage, IDirect3DTexture2* texture);
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT SetLightState(D3DLIGHTSTATETYPE state, DWORD value);
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, void* vertices, DWORD vertexCount, DWORD flags);
  HRESULT DrawIndexedPrimitiveStrided(D3DPRIMITIVETYPE type, DWORD vertexFormat, D3DDRAWPRIMITIVESTRIDEDDATA* data,
                                      DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags);

  // For the stand-ins and tests: the surface drawn into, and whether depth testing is on.
  IDirectDrawSurface4* Target() const;
  bool DepthTesting() const;

 protected:
  ~IDirect3DDevice3() override;

 private:
  friend class IDirect3D3;
  friend class IDirect3DViewport3;
  std::unique_ptr<DeviceCore> core_;
  IDirect3DDevice3();
};

class IDirect3DViewport3 : public ComObject {
 public:
  HRESULT SetViewport2(D3DVIEWPORT2* data);
  // Clears rectangles, clipped to the viewport: the target to black, the depth to the far value.
  HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags);
  HRESULT AddLight(IDirect3DLight* light);

  // For the device: the record set last (dwSize 0 until then), the device and the lights.
  const D3DVIEWPORT2& Data() const { return data_; }
  IDirect3DDevice3* Device() const { return device_; }
  const std::vector<IDirect3DLight*>& Lights() const { return lights_; }

 protected:
  ~IDirect3DViewport3() override;

 private:
  friend class IDirect3D3;
  friend class IDirect3DDevice3;
  D3DVIEWPORT2 data_{};
  IDirect3DDevice3* device_ = nullptr;  // not held: the device holds the viewport
  std::vector<IDirect3DLight*> lights_;
  IDirect3DViewport3() = default;
};

class IDirect3DMaterial3 : public ComObject {
 public:
  HRESULT SetMaterial(D3DMATERIAL* material);
  HRESULT GetHandle(IDirect3DDevice3* device, D3DMATERIALHANDLE* handle);

  const D3DMATERIAL& Material() const { return material_; }
  // The material a handle names, or null when no live material has it.
  static const IDirect3DMaterial3* FromHandle(D3DMATERIALHANDLE handle);

 protected:
  ~IDirect3DMaterial3() override;

 private:
  friend class IDirect3D3;
  D3DMATERIAL material_{};
  D3DMATERIALHANDLE handle_ = 0;
  IDirect3DMaterial3();
};

class IDirect3DLight : public ComObject {
 public:
  // Takes a D3DLIGHT or, by its size, a D3DLIGHT2.
  HRESULT SetLight(D3DLIGHT* light);

  // The light as a D3DLIGHT2 (an older record counts as active); dwSize is 0 until set.
  const D3DLIGHT2& Light() const { return light_; }

 private:
  friend class IDirect3D3;
  friend class IDirect3DViewport3;
  D3DLIGHT2 light_{};
  IDirect3DViewport3* viewport_ = nullptr;  // the viewport it is attached to, if any
  IDirect3DLight() = default;
};

class IDirect3DTexture2 : public ComObject {
 public:
  // The surface whose texels the texture shows.
  IDirectDrawSurface4* Surface() const { return surface_; }

 protected:
  ~IDirect3DTexture2() override;

 private:
  friend IDirect3DTexture2* MakeTexture(IDirectDrawSurface4* surface);
  IDirectDrawSurface4* surface_ = nullptr;
};

// The objects the DirectDraw stand-in hands out when asked for IID_IDirect3D3 and
// IID_IDirect3DTexture2; each holds a reference to the object it came from.
IDirect3D3* MakeDirect3D(IDirectDraw4* directDraw);
IDirect3DTexture2* MakeTexture(IDirectDrawSurface4* surface);
