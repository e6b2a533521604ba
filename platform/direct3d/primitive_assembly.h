// Between the stages: puts triangles together from lists and strips (indexed or not), sends
// the ones that cross the clip volume through the clipper, and hands the rest to the rasteriser.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/direct3d/clipping.h"
#include "platform/direct3d/rasteriser.h"

class PrimitiveAssembler {
 public:
  // Draws the triangles of a list or strip over the processed vertices; `indices` may be null
  // (the vertices in order). Every index must be below the vertex count.
  void Draw(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type, const WORD* indices,
            std::size_t indexCount, const ViewportMapping& mapping, const RasterContext& context);

 private:
  void Triangle(const std::vector<ClipVertex>& vertices, std::size_t i0, std::size_t i1, std::size_t i2,
                const ViewportMapping& mapping, const RasterContext& context);

  // Kept from draw to draw so that drawing allocates nothing once warmed up.
  std::vector<unsigned> outcodes_;
  std::vector<ScreenVertex> screen_;
};
