// The second and fourth stages: put triangles together from lists and strips (indexed or not), send
// the ones that cross the clip volume through the clipper, and hand the rest to the rasteriser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/direct3d/pipeline/pipeline.h"

class PrimitiveAssembler {
 public:
  // Projects the transformed vertices of a list or strip (through `indices` when not null; every
  // index below the vertex count) and returns one flag per vertex: set for the vertices of the
  // triangles that may draw, the only ones whose colours matter.
  const std::vector<std::uint8_t>& Prepare(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type,
                                           const WORD* indices, std::size_t indexCount, const ViewportMapping& mapping,
                                           CullMode cull);
  // Draws the triangles Prepare was given, the flagged vertices' colours now final.
  void Draw(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type, const WORD* indices,
            std::size_t indexCount, const ViewportMapping& mapping, const RasterContext& context);

 private:
  void Triangle(const std::vector<ClipVertex>& vertices, std::size_t i0, std::size_t i1, std::size_t i2,
                const ViewportMapping& mapping, const RasterContext& context);

  // Kept from draw to draw so that drawing allocates nothing once warmed up.
  std::vector<unsigned> outcodes_;
  std::vector<ScreenVertex> screen_;
  std::vector<std::uint8_t> used_;
};
