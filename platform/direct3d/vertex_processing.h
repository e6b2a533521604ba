// The first stage: takes each vertex from model space to clip space and lights it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/direct3d/lighting.h"
#include "platform/direct3d/matrix.h"

// Where each part of the vertices is: a base address and the bytes from one vertex to the next.
// A null normal or texture stream means the vertices have none.
struct VertexStreams {
  const std::uint8_t* position = nullptr;
  std::size_t positionStride = 0;
  const std::uint8_t* normal = nullptr;
  std::size_t normalStride = 0;
  const std::uint8_t* texture = nullptr;
  std::size_t textureStride = 0;
};

// A vertex after transformation and lighting: clip-space position, texture coordinates and the
// diffuse and specular colours in [0, 1].
struct ClipVertex {
  float x, y, z, w;
  float u, v;
  float r, g, b;
  float sr, sg, sb;
};

struct VertexSetup {
  Matrix4 worldView;
  Matrix4 worldViewProjection;
  Matrix3 normalMatrix;              // for lighting: normals from model to eye space
  const LightingSetup* lighting = nullptr;  // null: unlit, white with no specular
};

VertexSetup MakeVertexSetup(const Matrix4& world, const Matrix4& view, const Matrix4& projection,
                            const LightingSetup* lighting);

// Positions and texture coordinates of every vertex; without lighting the colours too (white, no
// specular). Lit colours are left to LightVertices.
void TransformVertices(const VertexStreams& streams, std::size_t count, const VertexSetup& setup, ClipVertex* out);
// The lit colours of the vertices whose `used` flag is set (every vertex when `used` is null):
// lighting is the costly part, and vertices of culled triangles never reach a pixel.
void LightVertices(const VertexStreams& streams, std::size_t count, const VertexSetup& setup, const std::uint8_t* used,
                   ClipVertex* out);
