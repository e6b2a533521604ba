// The first stage, which takes each vertex from model space to clip space, and the third, which
// lights the vertices of the triangles that may draw.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/direct3d/pipeline/lighting.h"
#include "platform/direct3d/pipeline/matrix.h"
#include "platform/direct3d/pipeline/pipeline.h"

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
