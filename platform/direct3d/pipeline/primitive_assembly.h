// The second and fourth stages: put triangles together from lists and strips (indexed or not), send
// the ones that cross the clip volume through the clipper, and hand the rest to the rasteriser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/direct3d/pipeline/pipeline.h"

// Called with the three screen vertices of every triangle that reaches the rasteriser, in
// submission order.
struct TriangleSink {
  void (*emit)(void* context, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) = nullptr;
  void* context = nullptr;
};

// How many triangles a list or strip of `indexCount` vertices makes.
std::size_t TriangleCount(D3DPRIMITIVETYPE type, std::size_t indexCount);

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

  // The same two passes in pieces that several threads may work on at once: each piece reads
  // the vertices and writes only its own vertices' entries (or, for the triangles, their
  // vertices' flags, which are only ever set). Begin comes first; then Project for every vertex;
  // then Mark for every triangle; then the colours are lit and Copy takes them for every vertex;
  // then Assemble, whose pieces hand their triangles on in submission order within the piece.
  void Begin(std::size_t vertexCount);
  void Project(const std::vector<ClipVertex>& vertices, std::size_t first, std::size_t end,
               const ViewportMapping& mapping);
  void Mark(D3DPRIMITIVETYPE type, const WORD* indices, std::size_t firstTriangle, std::size_t endTriangle,
            const ViewportMapping& mapping, CullMode cull);
  void Copy(const std::vector<ClipVertex>& vertices, std::size_t first, std::size_t end);
  void Assemble(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type, const WORD* indices,
                std::size_t firstTriangle, std::size_t endTriangle, const ViewportMapping& mapping,
                const TriangleSink& sink) const;
  const std::vector<std::uint8_t>& Used() const { return used_; }

 private:
  void Triangle(const std::vector<ClipVertex>& vertices, std::size_t i0, std::size_t i1, std::size_t i2,
                const ViewportMapping& mapping, const TriangleSink& sink) const;

  // Kept from draw to draw so that drawing allocates nothing once warmed up.
  std::vector<unsigned> outcodes_;
  std::vector<ScreenVertex> screen_;
  std::vector<std::uint8_t> used_;
};
