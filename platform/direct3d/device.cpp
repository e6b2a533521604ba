// IDirect3DDevice3: states, transforms, scenes and the draw calls.
#include <algorithm>

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/device_core.h"
#include "platform/direct3d/pipeline/texture_sampling.h"
#include "platform/faults.h"

namespace {

Matrix4* TransformOf(DeviceCore& core, D3DTRANSFORMSTATETYPE state) {
  switch (state) {
    case D3DTRANSFORMSTATE_WORLD: return &core.world;
    case D3DTRANSFORMSTATE_VIEW: return &core.view;
    case D3DTRANSFORMSTATE_PROJECTION: return &core.projection;
  }
  return nullptr;
}

bool IsTriangles(D3DPRIMITIVETYPE type) { return type == D3DPT_TRIANGLELIST || type == D3DPT_TRIANGLESTRIP; }

}  // namespace

IDirect3DDevice3::IDirect3DDevice3() : core_(std::make_unique<DeviceCore>()) {}

IDirect3DDevice3::~IDirect3DDevice3() {
  if (core_->texture) core_->texture->Release();
  for (IDirect3DViewport3* viewport : core_->viewports) {
    viewport->device_ = nullptr;
    viewport->Release();
  }
  core_->target->Release();
}

IDirectDrawSurface4* IDirect3DDevice3::Target() const { return core_->target; }

bool IDirect3DDevice3::DepthTesting() const {
  return core_->states.depthEnable && core_->target->AttachedDepth() != nullptr;
}

HRESULT IDirect3DDevice3::AddViewport(IDirect3DViewport3* viewport) {
  if (faults::Hit("IDirect3DDevice3::AddViewport")) return DDERR_GENERIC;
  if (viewport == nullptr || viewport->device_ != nullptr) return DDERR_INVALIDPARAMS;
  viewport->AddRef();
  viewport->device_ = this;
  core_->viewports.push_back(viewport);
  return D3D_OK;
}

HRESULT IDirect3DDevice3::SetCurrentViewport(IDirect3DViewport3* viewport) {
  if (faults::Hit("IDirect3DDevice3::SetCurrentViewport")) return DDERR_GENERIC;
  if (viewport == nullptr || viewport->device_ != this) return DDERR_INVALIDPARAMS;
  core_->currentViewport = viewport;
  return D3D_OK;
}

HRESULT IDirect3DDevice3::SetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (faults::Hit("IDirect3DDevice3::SetTransform")) return DDERR_GENERIC;
  Matrix4* transform = TransformOf(*core_, state);
  if (matrix == nullptr || transform == nullptr) return DDERR_INVALIDPARAMS;
  *transform = ToMatrix4(*matrix);
  return D3D_OK;
}

HRESULT IDirect3DDevice3::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (faults::Hit("IDirect3DDevice3::GetTransform")) return DDERR_GENERIC;
  Matrix4* transform = TransformOf(*core_, state);
  if (matrix == nullptr || transform == nullptr) return DDERR_INVALIDPARAMS;
  *matrix = ToD3DMatrix(*transform);
  return D3D_OK;
}

HRESULT IDirect3DDevice3::BeginScene() {
  if (faults::Hit("IDirect3DDevice3::BeginScene")) return DDERR_GENERIC;
  if (core_->inScene) return D3DERR_SCENE_IN_SCENE;
  core_->inScene = true;
  return D3D_OK;
}

HRESULT IDirect3DDevice3::EndScene() {
  if (faults::Hit("IDirect3DDevice3::EndScene")) return DDERR_GENERIC;
  if (!core_->inScene) return D3DERR_SCENE_NOT_IN_SCENE;
  core_->inScene = false;
  return D3D_OK;
}

HRESULT IDirect3DDevice3::SetTexture(DWORD stage, IDirect3DTexture2* texture) {
  if (faults::Hit("IDirect3DDevice3::SetTexture")) return DDERR_GENERIC;
  // One texture stage: the device modulates a single texture by the lit colour.
  if (stage != 0) return DDERR_INVALIDPARAMS;
  TextureView view;
  if (texture != nullptr && !MakeTextureView(texture->Surface(), &view)) return D3DERR_WRONGTEXTUREFORMAT;
  if (texture) texture->AddRef();
  if (core_->texture) core_->texture->Release();
  core_->texture = texture;
  return D3D_OK;
}

HRESULT IDirect3DDevice3::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (faults::Hit("IDirect3DDevice3::SetRenderState")) return DDERR_GENERIC;
  return ApplyRenderState(&core_->states, state, value);
}

HRESULT IDirect3DDevice3::SetLightState(D3DLIGHTSTATETYPE state, DWORD value) {
  if (faults::Hit("IDirect3DDevice3::SetLightState")) return DDERR_GENERIC;
  switch (state) {
    case D3DLIGHTSTATE_MATERIAL:
      if (value != 0 && IDirect3DMaterial3::FromHandle(value) == nullptr) return DDERR_INVALIDPARAMS;
      core_->material = value;
      return D3D_OK;
    case D3DLIGHTSTATE_AMBIENT:
      core_->ambient = value;
      return D3D_OK;
    default:
      return DDERR_UNSUPPORTED;
  }
}

HRESULT IDirect3DDevice3::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, void* vertices, DWORD vertexCount,
                                        DWORD flags) {
  if (faults::Hit("IDirect3DDevice3::DrawPrimitive")) return DDERR_GENERIC;
  if (!IsTriangles(type)) return D3DERR_INVALIDPRIMITIVETYPE;
  if (!VertexFormatSupported(vertexFormat)) return D3DERR_INVALIDVERTEXFORMAT;
  if (vertices == nullptr && vertexCount != 0) return DDERR_INVALIDPARAMS;
  VertexStreams streams;
  if (vertices != nullptr) {
    // The parts of a packed vertex follow each other in the order of the format's bits.
    const auto* base = static_cast<const std::uint8_t*>(vertices);
    const DWORD stride = VertexSize(vertexFormat);
    streams.position = base;
    streams.positionStride = stride;
    if (vertexFormat & D3DFVF_NORMAL) {
      streams.normal = base + 12;
      streams.normalStride = stride;
    }
    if (vertexFormat & D3DFVF_TEXCOUNT_MASK) {
      streams.texture = base + ((vertexFormat & D3DFVF_NORMAL) ? 24 : 12);
      streams.textureStride = stride;
    }
  }
  return core_->Draw(type, vertexFormat, streams, vertexCount, nullptr, vertexCount, flags);
}

HRESULT IDirect3DDevice3::DrawIndexedPrimitiveStrided(D3DPRIMITIVETYPE type, DWORD vertexFormat,
                                                      D3DDRAWPRIMITIVESTRIDEDDATA* data, DWORD vertexCount,
                                                      WORD* indices, DWORD indexCount, DWORD flags) {
  if (faults::Hit("IDirect3DDevice3::DrawIndexedPrimitiveStrided")) return DDERR_GENERIC;
  if (!IsTriangles(type)) return D3DERR_INVALIDPRIMITIVETYPE;
  if (!VertexFormatSupported(vertexFormat)) return D3DERR_INVALIDVERTEXFORMAT;
  if (data == nullptr || (indices == nullptr && indexCount != 0)) return DDERR_INVALIDPARAMS;
  const bool normals = (vertexFormat & D3DFVF_NORMAL) != 0;
  const bool texture = (vertexFormat & D3DFVF_TEXCOUNT_MASK) != 0;
  if (vertexCount != 0 && (data->position.lpvData == nullptr || (normals && data->normal.lpvData == nullptr) ||
                           (texture && data->textureCoords[0].lpvData == nullptr))) {
    return DDERR_INVALIDPARAMS;
  }
  // An index past the vertices would read outside the caller's arrays: the call is refused whole.
  if (std::any_of(indices, indices + indexCount, [vertexCount](WORD index) { return index >= vertexCount; })) {
    return DDERR_INVALIDPARAMS;
  }
  VertexStreams streams;
  streams.position = static_cast<const std::uint8_t*>(data->position.lpvData);
  streams.positionStride = data->position.dwStride;
  if (normals) {
    streams.normal = static_cast<const std::uint8_t*>(data->normal.lpvData);
    streams.normalStride = data->normal.dwStride;
  }
  if (texture) {
    streams.texture = static_cast<const std::uint8_t*>(data->textureCoords[0].lpvData);
    streams.textureStride = data->textureCoords[0].dwStride;
  }
  return core_->Draw(type, vertexFormat, streams, vertexCount, indices, indexCount, flags);
}
