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
  // Room for the next triangle of piece `piece`, set up in place; Keep takes it. Pieces are drawn
  // in order, and the triangles of a piece in the order they were kept: keeping them in
  // submission order keeps it.
  TriangleSetup* Next(int piece);
  void Keep(int piece);
  // Sorts the triangles piece `piece` kept into the bands they reach; once per piece, after its
  // last Keep, on the thread that kept them.
  void Sort(int piece);

  int Bands() const { return bands_; }
  // Draws the rows inside band `band` of every triangle kept, in submission order.
  void DrawBand(int band, const RasterContext& context) const;

 private:
  struct Piece {
    std::vector<TriangleSetup> triangles;  // the first `kept` are the piece's
    std::uint32_t kept = 0;
    // The triangles that reach into band b, in order: order[bandStart[b]] to before
    // order[bandStart[b + 1]]. One array for all bands, so that it stops growing soon.
    std::vector<std::uint32_t> bandStart, order;
  };
  // Kept from draw to draw so that drawing allocates nothing once warmed up.
  std::vector<Piece> pieces_;
  int used_ = 0;   // pieces of the current draw
  int bands_ = 0;  // bands of the current target
};
