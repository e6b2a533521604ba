// The reference span shader, every channel on its own in plain integer arithmetic, which the
// other paths must match byte for byte; and the choice of the path the pipeline runs.
#include "platform/direct3d/pipeline/span_shading.h"

#include <cstdint>

#include "platform/direct3d/pipeline/pixel_operations.h"
#include "platform/direct3d/pipeline/span_common.h"

namespace {

// Blue, green and red with eight bits of fraction, as the bytes of 0x00RRGGBB.
std::uint32_t Bytes(Int4 channels) {
  return Pack(static_cast<std::uint32_t>(channels[2]) >> 8, static_cast<std::uint32_t>(channels[1]) >> 8,
              static_cast<std::uint32_t>(channels[0]) >> 8);
}

template <ColourFormat F, DepthFormat D>
struct ReferenceShader {
  static void Shade(const RasterContext& context, const Gradients& g, int y, int x0, int x1, const float* s) {
    using DepthOf = Depth<D>;
    const RenderTarget& target = context.target;
    const PixelState& state = context.pixels;
    std::uint8_t* row = target.colour + static_cast<std::ptrdiff_t>(y) * target.colourPitch + x0 * kBytesOf<F>;
    std::uint8_t* depthRow = DepthRow<D>(target, y, x0);
    const bool depthTest = state.depthTest && DepthOf::kBytes != 0;
    const bool depthWrite = state.depthWrite && DepthOf::kBytes != 0;
    ForEachGroup(SpanEvaluator(g, s, state), x1 - x0, [&](int first, int count, const Segment& segment) {
      for (int k = 0; k < count; ++k) {
        const int i = first + k;
        std::uint8_t* colour = row + i * kBytesOf<F>;
        std::uint8_t* depth = depthRow + i * DepthOf::kBytes;
        const typename DepthOf::Value z = DepthOf::From(s[kAttrZ] + g.dx[kAttrZ] * static_cast<float>(i));
        if (depthTest && !DepthOf::Passes(z, depth)) continue;
        const PixelValues p = segment.At(k);
        std::uint32_t rgb = Bytes(p.colour);
        if (state.textured) {
          const int u = p.texel[0], v = p.texel[1];
          rgb = Modulate(p.linear ? SampleBilinear(state.texture, u, v) : SampleNearest(state.texture, u, v), rgb);
        }
        if (state.specular) rgb = AddSaturated(rgb, Bytes(p.specular));
        if (state.blend) rgb = Blend(rgb, ReadPixel(F, colour), state.sourceBlend, state.destBlend);
        WritePixel(F, colour, rgb);
        if (depthWrite) DepthOf::Store(depth, z);
      }
    });
  }
};

}  // namespace

SpanShader ReferenceSpanShader(ColourFormat colour, DepthFormat depth) {
  return SelectSpanShader<ReferenceShader>(colour, depth);
}

bool SpanPathSupported(SpanPath path) {
  switch (path) {
    case SpanPath::kPacked: return PackedSpanShader(ColourFormat::kRgb32, DepthFormat::kNone) != nullptr;
    case SpanPath::kWide:
      return WideSpanShader(ColourFormat::kRgb32, DepthFormat::kNone) != nullptr && WideInstructionsAvailable();
    case SpanPath::kWideMasked:
      return WideMaskedSpanShader(ColourFormat::kRgb32, DepthFormat::kNone) != nullptr && WideMaskedInstructionsAvailable();
    default: return true;
  }
}

SpanShader SpanShaderFor(ColourFormat colour, DepthFormat depth, SpanPath path) {
  switch (path) {
    case SpanPath::kPacked: return PackedSpanShader(colour, depth);
    case SpanPath::kWide: return WideSpanShader(colour, depth);
    case SpanPath::kWideMasked: return WideMaskedSpanShader(colour, depth);
    default: return ReferenceSpanShader(colour, depth);
  }
}

namespace {

SpanPath& WidestAllowed() {
  static SpanPath widest = SpanPath::kWideMasked;
  return widest;
}

}  // namespace

void LimitSpanPath(SpanPath widest) { WidestAllowed() = widest; }

SpanShader SpanShaderFor(ColourFormat colour, DepthFormat depth) {
  // The paths from the widest down, in the order of the enumeration.
  for (SpanPath path : {SpanPath::kWideMasked, SpanPath::kWide, SpanPath::kPacked}) {
    if (path <= WidestAllowed() && SpanPathSupported(path)) return SpanShaderFor(colour, depth, path);
  }
  return ReferenceSpanShader(colour, depth);
}
