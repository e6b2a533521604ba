#include "platform/direct3d/pipeline/triangle_bins.h"

#include "platform/direct3d/pipeline/rasteriser.h"

namespace {

// The bands a set-up triangle's rows reach; the set-up keeps them inside the scissor, which lies
// inside the target.
int FirstBand(const TriangleSetup& setup) { return setup.firstRow / TriangleBins::kBandRows; }
int LastBand(const TriangleSetup& setup) { return (setup.endRow - 1) / TriangleBins::kBandRows; }

}  // namespace

void TriangleBins::Reset(int pieces, int height) {
  bands_ = (height + kBandRows - 1) / kBandRows;
  used_ = pieces;
  if (static_cast<int>(pieces_.size()) < pieces) pieces_.resize(pieces);
  for (int i = 0; i < pieces; ++i) {
    pieces_[i].kept = 0;
    pieces_[i].bandStart.assign(bands_ + 1, 0);
  }
}

TriangleSetup* TriangleBins::Next(int piece) {
  Piece& into = pieces_[piece];
  if (into.kept == into.triangles.size()) into.triangles.resize(into.triangles.size() * 2 + 64);
  return &into.triangles[into.kept];
}

void TriangleBins::Keep(int piece) { ++pieces_[piece].kept; }

void TriangleBins::Sort(int piece) {
  Piece& p = pieces_[piece];
  // Count each band's triangles into the entry after it, add up the counts into starts, then
  // place each triangle at its bands' next free entries.
  std::vector<std::uint32_t>& start = p.bandStart;
  for (std::uint32_t i = 0; i < p.kept; ++i) {
    for (int band = FirstBand(p.triangles[i]); band <= LastBand(p.triangles[i]); ++band) ++start[band + 1];
  }
  for (int band = 0; band < bands_; ++band) start[band + 1] += start[band];
  if (p.order.size() < start[bands_]) p.order.resize(start[bands_]);
  for (std::uint32_t i = 0; i < p.kept; ++i) {
    for (int band = FirstBand(p.triangles[i]); band <= LastBand(p.triangles[i]); ++band) p.order[start[band]++] = i;
  }
  // Each start has moved on to the next band's; move them back.
  for (int band = bands_; band > 0; --band) start[band] = start[band - 1];
  start[0] = 0;
}

void TriangleBins::DrawBand(int band, const RasterContext& context) const {
  const int top = band * kBandRows, bottom = top + kBandRows;
  for (int i = 0; i < used_; ++i) {
    const Piece& piece = pieces_[i];
    for (std::uint32_t k = piece.bandStart[band]; k < piece.bandStart[band + 1]; ++k) {
      DrawTriangleRows(piece.triangles[piece.order[k]], top, bottom, context);
    }
  }
}
