#include "platform/direct3d/pipeline/triangle_bins.h"

#include "platform/direct3d/pipeline/rasteriser.h"

void TriangleBins::Reset(int pieces, int height) {
  bands_ = (height + kBandRows - 1) / kBandRows;
  used_ = pieces;
  if (static_cast<int>(pieces_.size()) < pieces) pieces_.resize(pieces);
  for (int i = 0; i < pieces; ++i) {
    Piece& piece = pieces_[i];
    piece.triangles.clear();
    if (static_cast<int>(piece.bands.size()) < bands_) piece.bands.resize(bands_);
    for (std::vector<std::uint32_t>& band : piece.bands) band.clear();
  }
}

void TriangleBins::Add(int piece, const TriangleSetup& setup) {
  Piece& into = pieces_[piece];
  const auto index = static_cast<std::uint32_t>(into.triangles.size());
  into.triangles.push_back(setup);
  // The set-up keeps the rows inside the scissor, which lies inside the target.
  const int last = (setup.endRow - 1) / kBandRows;
  for (int band = setup.firstRow / kBandRows; band <= last; ++band) into.bands[band].push_back(index);
}

void TriangleBins::DrawBand(int band, const RasterContext& context) const {
  const int top = band * kBandRows, bottom = top + kBandRows;
  for (int i = 0; i < used_; ++i) {
    const Piece& piece = pieces_[i];
    for (const std::uint32_t index : piece.bands[band]) DrawTriangleRows(piece.triangles[index], top, bottom, context);
  }
}
