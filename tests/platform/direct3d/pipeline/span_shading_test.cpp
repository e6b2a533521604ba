// Every span shader path this machine runs against the reference: random triangles with random
// states, at every target format, must come out byte for byte the same.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/direct3d/pipeline/span_common.h"
#include "platform/direct3d/pipeline/texture_cache.h"
#include "tests/platform/direct3d/pipeline/raster_canvas.h"
#include "tests/support/soft_device.h"

namespace {

struct RandomScene {
  std::mt19937 random;
  float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }
  bool Coin() { return random() % 2 == 0; }
  D3DBLEND Factor() {
    const D3DBLEND factors[4] = {D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLEND_SRCCOLOR, D3DBLEND_DESTCOLOR};
    return factors[random() % 4];
  }
  ScreenVertex Vertex(int width, int height) {
    ScreenVertex v{};
    v.x = Uniform(-20.0f, static_cast<float>(width) + 20.0f);
    v.y = Uniform(-20.0f, static_cast<float>(height) + 20.0f);
    v.z = Uniform(0.0f, 1.0f);
    v.q = Uniform(0.05f, 1.0f);  // perspective: w from 1 to 20
    v.u = Uniform(-3.0f, 3.0f);
    v.v = Uniform(-3.0f, 3.0f);
    v.r = Uniform(-0.1f, 1.1f);  // a little outside [0, 1] too
    v.g = Uniform(0.0f, 1.0f);
    v.b = Uniform(0.0f, 1.0f);
    v.sr = Uniform(0.0f, 1.0f);
    v.sg = Uniform(0.0f, 0.5f);
    v.sb = Uniform(0.0f, 1.0f);
    return v;
  }
};

class SpanShading : public testing::TestWithParam<SpanPath> {};

TEST_P(SpanShading, GivesTheReferenceBytes) {
  if (!SpanPathSupported(GetParam())) GTEST_SKIP() << "this processor has not got the path";
  SoftDevice device;
  std::mt19937 texels(3);
  IDirect3DTexture2* texture = device.MakeTexture(64, 32, [&](int, int) { return static_cast<std::uint32_t>(texels()); });
  TextureView view;
  ASSERT_TRUE(MakeTextureView(texture->Surface(), &view));
  TextureCache cache;
  const PaddedTexture& padded = cache.Get(texture->Surface(), view);

  for (ColourFormat format : {ColourFormat::kRgb32, ColourFormat::kRgb24, ColourFormat::kRgb565}) {
    for (DepthFormat depth : {DepthFormat::kFloat32, DepthFormat::kFixed16, DepthFormat::kNone}) {
      RasterCanvas packed(61, 47, format, depth), reference(61, 47, format, depth);
      packed.context.shadeSpan = SpanShaderFor(format, depth, GetParam());
      reference.context.shadeSpan = SpanShaderFor(format, depth, SpanPath::kReference);
      RandomScene scene{std::mt19937(static_cast<unsigned>(format) * 10 + static_cast<unsigned>(depth))};
      for (int triangle = 0; triangle < 300; ++triangle) {
        PixelState state;
        state.textured = scene.Coin();
        state.texture = view;
        state.padded = &padded;
        state.magnifyLinear = scene.Coin();
        state.minifyLinear = scene.Coin();
        state.specular = scene.Coin();
        state.blend = scene.Coin();
        state.sourceBlend = scene.Factor();
        state.destBlend = scene.Factor();
        state.depthTest = depth != DepthFormat::kNone && scene.Coin();
        state.depthWrite = depth != DepthFormat::kNone && scene.Coin();
        const ScreenVertex a = scene.Vertex(61, 47), b = scene.Vertex(61, 47), c = scene.Vertex(61, 47);
        for (RasterCanvas* canvas : {&packed, &reference}) {
          canvas->context.pixels = state;
          DrawTriangle(a, b, c, canvas->context);
        }
      }
      EXPECT_EQ(packed.colour, reference.colour) << static_cast<int>(format) << " " << static_cast<int>(depth);
      EXPECT_EQ(packed.depth, reference.depth) << static_cast<int>(format) << " " << static_cast<int>(depth);
      int written = 0;
      for (std::uint8_t byte : packed.colour) written += byte != 0;
      EXPECT_GT(written, 1000) << "the scene draws something";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, SpanShading, testing::Values(SpanPath::kPacked, SpanPath::kWide, SpanPath::kWideMasked),
                         [](const testing::TestParamInfo<SpanPath>& info) {
                           return info.param == SpanPath::kPacked ? std::string("Packed")
                                  : info.param == SpanPath::kWide ? std::string("Wide")
                                                                  : std::string("WideMasked");
                         });

// The pipeline draws with the widest path the machine has, or the widest up to a limit.
TEST(SpanShaderChoice, TakesTheWidestSupportedPath) {
  const SpanPath widest = SpanPathSupported(SpanPath::kWideMasked) ? SpanPath::kWideMasked
                          : SpanPathSupported(SpanPath::kWide)     ? SpanPath::kWide
                          : SpanPathSupported(SpanPath::kPacked)   ? SpanPath::kPacked
                                                                   : SpanPath::kReference;
  EXPECT_EQ(SpanShaderFor(ColourFormat::kRgb32, DepthFormat::kFloat32),
            SpanShaderFor(ColourFormat::kRgb32, DepthFormat::kFloat32, widest));
  EXPECT_TRUE(SpanPathSupported(SpanPath::kReference));
  LimitSpanPath(SpanPath::kPacked);
  const SpanShader packed = SpanShaderFor(ColourFormat::kRgb565, DepthFormat::kFixed16);
  LimitSpanPath(SpanPath::kWideMasked);
  EXPECT_EQ(packed, SpanShaderFor(ColourFormat::kRgb565, DepthFormat::kFixed16,
                                  SpanPathSupported(SpanPath::kPacked) ? SpanPath::kPacked : SpanPath::kReference));
}

// A segment's per-pixel steps are the integer quotients, rounded toward zero, of the differences
// between its ends, whichever way a length is divided: negative, exact and extreme differences.
TEST(SegmentSteps, AreTheIntegerQuotientsOfTheDifferences) {
  std::mt19937 random(11);
  for (int length = 1; length <= kSegment; ++length) {
    for (int trial = 0; trial < 2000; ++trial) {
      const int texel = trial < 4 ? (trial % 2 ? 1 : -1) * (1 << 30) + trial / 2 : static_cast<int>(random() % (1u << 31)) - (1 << 30);
      const int multiple = (static_cast<int>(random() % 8192) - 4096) * length;
      const int colour = static_cast<int>(random() % 131071) - 65535;
      PixelValues a{}, b{};
      b.texel = Int4{texel, multiple, multiple - 1, multiple + 1};
      b.colour = Int4{colour, -colour, multiple, 65535};
      b.specular = Int4{-65535, colour % 256, -1, 1};
      const Segment segment = Segment::Between(a, b, length);
      for (int lane = 0; lane < 4; ++lane) {
        ASSERT_EQ(segment.dTexel[lane], b.texel[lane] / length) << b.texel[lane] << " / " << length;
        ASSERT_EQ(segment.dColour[lane], b.colour[lane] / length) << b.colour[lane] << " / " << length;
        ASSERT_EQ(segment.dSpecular[lane], b.specular[lane] / length) << b.specular[lane] << " / " << length;
      }
    }
  }
}

}  // namespace
