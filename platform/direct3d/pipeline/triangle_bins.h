// The triangles of one draw, set up by several threads at once and sorted into bands of rows, so
// that each band can be rasterised and shaded on a thread of its own. A pixel lies in exactly one
// band and each band draws its triangles in submission order, so the picture does not depend on
// how many threads draw it or which band is drawn first.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/direct3d/pipeline/pipeline.h"

class TriangleBins {
 public:
  // Rows a band holds. Triangles of the production are a few to a few dozen rows high: a band
  // of 16 keeps the triangles that cross into a second band, and so are walked to their first
  // row twice, few, and leaves enough bands to share among the threads.
  static constexpr int kBandRows = 16;

  // Empties the bins for `pieces` pieces of set-up work over a target `height` rows high.
  void Reset(int pieces, int height);
  // Keeps a triangle set up by piece `piece`. Pieces are drawn in order, and the triangles of a
  // piece in the order they were added: adding them in submission order keeps it.
  void Add(int piece, const TriangleSetup& setup);

  int Bands() const { return bands_; }
  // Draws the rows inside band `band` of every triangle kept, in submission order.
  void DrawBand(int band, const RasterContext& context) const;

 private:
  struct Piece {
    std::vector<TriangleSetup> triangles;
    std::vector<std::vector<std::uint32_t>> bands;  // per band, the triangles that reach into it
  };
  // Kept from draw to draw so that drawing allocates nothing once warmed up.
  std::vector<Piece> pieces_;
  int used_ = 0;   // pieces of the current draw
  int bands_ = 0;  // bands of the current target
};
