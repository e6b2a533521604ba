#include "platform/direct3d/pipeline/vertex_processing.h"

#include <cstring>

namespace {

// Vertex data comes from the caller's arrays at any alignment.
Vec3 ReadVec3(const std::uint8_t* at) {
  float v[3];
  std::memcpy(v, at, sizeof(v));
  return {v[0], v[1], v[2]};
}

}  // namespace

VertexSetup MakeVertexSetup(const Matrix4& world, const Matrix4& view, const Matrix4& projection,
                            const LightingSetup* lighting) {
  VertexSetup setup;
  setup.worldView = Multiply(world, view);
  setup.worldViewProjection = Multiply(setup.worldView, projection);
  setup.normalMatrix = NormalMatrix(setup.worldView);
  setup.lighting = lighting;
  return setup;
}

void TransformVertices(const VertexStreams& streams, std::size_t count, const VertexSetup& setup, ClipVertex* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const Vec4 clip = TransformPoint(ReadVec3(streams.position + i * streams.positionStride), setup.worldViewProjection);
    ClipVertex& v = out[i];
    v.x = clip.x;
    v.y = clip.y;
    v.z = clip.z;
    v.w = clip.w;
    if (streams.texture) {
      float uv[2];
      std::memcpy(uv, streams.texture + i * streams.textureStride, sizeof(uv));
      v.u = uv[0];
      v.v = uv[1];
    } else {
      v.u = v.v = 0;
    }
    if (setup.lighting == nullptr) {
      v.r = v.g = v.b = 1.0f;
      v.sr = v.sg = v.sb = 0.0f;
    }
  }
}

void LightVertices(const VertexStreams& streams, std::size_t count, const VertexSetup& setup, const std::uint8_t* used,
                   ClipVertex* out) {
  if (setup.lighting == nullptr) return;
  for (std::size_t i = 0; i < count; ++i) {
    if (used != nullptr && !used[i]) continue;
    const Vec3 position = ReadVec3(streams.position + i * streams.positionStride);
    const Vec4 eye = TransformPoint(position, setup.worldView);
    // Normals are always renormalised after the transformation on these devices.
    const Vec3 normal = Normalised(TransformVector(ReadVec3(streams.normal + i * streams.normalStride), setup.normalMatrix));
    const LitColour lit = LightVertex(*setup.lighting, {eye.x, eye.y, eye.z}, normal);
    ClipVertex& v = out[i];
    v.r = lit.diffuse.r;
    v.g = lit.diffuse.g;
    v.b = lit.diffuse.b;
    v.sr = lit.specular.r;
    v.sg = lit.specular.g;
    v.sb = lit.specular.b;
  }
}
