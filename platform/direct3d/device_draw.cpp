#include <cstring>

#include "platform/direct3d/device_core.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "platform/direct3d/pipeline/span_shading.h"
#include "platform/direct3d/pipeline/texture_sampling.h"
#include "platform/direct3d/pipeline/vertex_processing.h"
#include "platform/direct3d/pipeline/viewport_mapping.h"

bool VertexFormatSupported(DWORD vertexFormat) {
  const DWORD texCount = (vertexFormat & D3DFVF_TEXCOUNT_MASK) >> 8;
  return (vertexFormat & D3DFVF_POSITION_MASK) == D3DFVF_XYZ && texCount <= 1 &&
         (vertexFormat & ~(D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_TEXCOUNT_MASK)) == 0;
}

DWORD VertexSize(DWORD vertexFormat) {
  return 12 + ((vertexFormat & D3DFVF_NORMAL) ? 12 : 0) + ((vertexFormat & D3DFVF_TEXCOUNT_MASK) ? 8 : 0);
}

HRESULT DeviceCore::Draw(D3DPRIMITIVETYPE type, DWORD vertexFormat, const VertexStreams& streams,
                         std::size_t vertexCount, const WORD* indices, std::size_t indexCount, DWORD flags) {
  if (!inScene) return D3DERR_SCENE_NOT_IN_SCENE;
  if (currentViewport == nullptr) return D3DERR_NOCURRENTVIEWPORT;
  ViewportMapping mapping;
  if (currentViewport->Data().dwSize == 0 ||
      !MakeViewportMapping(currentViewport->Data(), target->Width(), target->Height(), &mapping)) {
    return D3DERR_VIEWPORTDATANOTSET;
  }

  // A draw is lit when a material is set and the vertices carry normals.
  const IDirect3DMaterial3* material = IDirect3DMaterial3::FromHandle(this->material);
  const bool lit = material != nullptr && (vertexFormat & D3DFVF_NORMAL) && !(flags & D3DDP_DONOTLIGHT);
  if (lit) {
    lights_.clear();
    // Lights act only through the viewport they are attached to, while it is the current one.
    for (const IDirect3DLight* light : currentViewport->Lights()) lights_.push_back(light->Light());
    PrepareLighting(material->Material(), ambient, lights_, view, states.specular, &lighting_);
  }
  const VertexSetup setup = MakeVertexSetup(world, view, projection, lit ? &lighting_ : nullptr);
  vertices_.resize(vertexCount);
  TransformVertices(streams, vertexCount, setup, vertices_.data());
  const std::vector<std::uint8_t>& used = assembler_.Prepare(vertices_, type, indices, indexCount, mapping, states.cull);
  LightVertices(streams, vertexCount, setup, used.data(), vertices_.data());

  RasterContext context;
  context.target = MakeRenderTarget(target);
  context.scissor = RECT{mapping.left, mapping.top, mapping.right, mapping.bottom};
  context.cull = states.cull;
  context.shadeSpan = SpanShaderFor(context.target.format, context.target.depthFormat);
  PixelState& pixels = context.pixels;
  pixels.textured = texture != nullptr && MakeTextureView(texture->Surface(), &pixels.texture);
  if (pixels.textured) pixels.padded = &textures_.Get(texture->Surface(), pixels.texture);
  pixels.magnifyLinear = states.magnify == D3DFILTER_LINEAR;
  pixels.minifyLinear = states.minify == D3DFILTER_LINEAR;
  pixels.specular = states.specular && lit;
  pixels.blend = states.blend;
  pixels.sourceBlend = states.sourceBlend;
  pixels.destBlend = states.destBlend;
  const bool depth = states.depthEnable && context.target.depthFormat != DepthFormat::kNone;
  pixels.depthTest = depth;
  pixels.depthWrite = depth && states.depthWrite;
  assembler_.Draw(vertices_, type, indices, indexCount, mapping, context);
  return D3D_OK;
}
