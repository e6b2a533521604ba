#include <algorithm>
#include <cstring>

#include "platform/direct3d/device_core.h"
#include "platform/direct3d/pipeline/render_target.h"
#include "platform/direct3d/pipeline/span_shading.h"
#include "platform/direct3d/pipeline/texture_sampling.h"
#include "platform/direct3d/pipeline/vertex_processing.h"
#include "platform/direct3d/pipeline/viewport_mapping.h"
#include "platform/direct3d/pipeline/rasteriser.h"
#include "platform/threads/worker_pool.h"

bool VertexFormatSupported(DWORD vertexFormat) {
  const DWORD texCount = (vertexFormat & D3DFVF_TEXCOUNT_MASK) >> 8;
  return (vertexFormat & D3DFVF_POSITION_MASK) == D3DFVF_XYZ && texCount <= 1 &&
         (vertexFormat & ~(D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_TEXCOUNT_MASK)) == 0;
}

DWORD VertexSize(DWORD vertexFormat) {
  return 12 + ((vertexFormat & D3DFVF_NORMAL) ? 12 : 0) + ((vertexFormat & D3DFVF_TEXCOUNT_MASK) ? 8 : 0);
}

HRESULT DeviceCore::Draw(D3DPRIMITIVETYPE type, DWORD vertexFormat, const VertexStreams& streams,
                         std::size_t vertexCount, const WORD* indices, std::size_t indexCount, DWORD flags) {
  if (!inScene) return D3DERR_SCENE_NOT_IN_SCENE;
  if (currentViewport == nullptr) return D3DERR_NOCURRENTVIEWPORT;
  ViewportMapping mapping;
  if (currentViewport->Data().dwSize == 0 ||
      !MakeViewportMapping(currentViewport->Data(), target->Width(), target->Height(), &mapping)) {
    return D3DERR_VIEWPORTDATANOTSET;
  }

  // A draw is lit when a material is set and the vertices carry normals.
  const IDirect3DMaterial3* material = IDirect3DMaterial3::FromHandle(this->material);
  const bool lit = material != nullptr && (vertexFormat & D3DFVF_NORMAL) && !(flags & D3DDP_DONOTLIGHT);
  if (lit) {
    lights_.clear();
    // Lights act only through the viewport they are attached to, while it is the current one.
    for (const IDirect3DLight* light : currentViewport->Lights()) lights_.push_back(light->Light());
    PrepareLighting(material->Material(), ambient, lights_, view, states.specular, &lighting_);
  }
  const VertexSetup setup = MakeVertexSetup(world, view, projection, lit ? &lighting_ : nullptr);
  vertices_.resize(vertexCount);
  RasterContext context;
  context.pixels.specular = states.specular && lit;
  DrawSteps(type, streams, setup, indices, indexCount, mapping, context);
  return D3D_OK;
}

void DeviceCore::MakeRasterContext(const ViewportMapping& mapping, RasterContext* context) {
  context->target = MakeRenderTarget(target);
  context->scissor = RECT{mapping.left, mapping.top, mapping.right, mapping.bottom};
  context->cull = states.cull;
  context->shadeSpan = SpanShaderFor(context->target.format, context->target.depthFormat);
  PixelState& pixels = context->pixels;
  pixels.textured = texture != nullptr && MakeTextureView(texture->Surface(), &pixels.texture);
  if (pixels.textured) pixels.padded = &textures_.Get(texture->Surface(), pixels.texture);
  pixels.magnifyLinear = states.magnify == D3DFILTER_LINEAR;
  pixels.minifyLinear = states.minify == D3DFILTER_LINEAR;
  pixels.blend = states.blend;
  pixels.sourceBlend = states.sourceBlend;
  pixels.destBlend = states.destBlend;
  const bool depth = states.depthEnable && context->target.depthFormat != DepthFormat::kNone;
  pixels.depthTest = depth;
  pixels.depthWrite = depth && states.depthWrite;
}

namespace {

// Work is split into pieces no smaller than these, so that a small draw stays on one thread.
constexpr std::size_t kVerticesPerPiece = 256;
constexpr std::size_t kTrianglesPerPiece = 128;

int Pieces(std::size_t items, std::size_t smallest, int threads) {
  const std::size_t most = (items + smallest - 1) / smallest;
  return static_cast<int>(std::max<std::size_t>(1, std::min<std::size_t>(most, static_cast<std::size_t>(threads))));
}

// Items first to end - 1 of `items` split in `pieces` nearly equal parts.
std::size_t PieceStart(std::size_t items, int pieces, int piece) {
  return items * static_cast<std::size_t>(piece) / static_cast<std::size_t>(pieces);
}

// The streams from vertex `first` on.
VertexStreams StreamsFrom(const VertexStreams& streams, std::size_t first) {
  VertexStreams from = streams;
  from.position += first * streams.positionStride;
  if (from.normal != nullptr) from.normal += first * streams.normalStride;
  if (from.texture != nullptr) from.texture += first * streams.textureStride;
  return from;
}

struct BinInto {
  TriangleBins* bins;
  const RasterContext* context;
  int piece;
};

void DrawNow(void* context, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  DrawTriangle(a, b, c, *static_cast<const RasterContext*>(context));
}

void SetUpInto(void* sink, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  const BinInto& into = *static_cast<const BinInto*>(sink);
  if (SetUpTriangle(a, b, c, *into.context, into.bins->Next(into.piece))) into.bins->Keep(into.piece);
}

}  // namespace

// Every step runs in pieces, as many as the threads and the size of the draw allow; one thread
// runs each step as one piece, in place, and its triangles go straight from assembly to the
// rasteriser, with no copy of their set-up and no bins.
void DeviceCore::DrawSteps(D3DPRIMITIVETYPE type, const VertexStreams& streams, const VertexSetup& setup,
                           const WORD* indices, std::size_t indexCount, const ViewportMapping& mapping,
                           RasterContext& context) {
  const int threads = WorkerThreads();
  const std::size_t vertexCount = vertices_.size();
  const std::size_t triangles = TriangleCount(type, indexCount);
  const int vertexPieces = Pieces(vertexCount, kVerticesPerPiece, threads);
  const int trianglePieces = Pieces(triangles, kTrianglesPerPiece, threads);
  assembler_.Begin(vertexCount);
  RunParts(vertexPieces, [&](int piece) {
    const std::size_t first = PieceStart(vertexCount, vertexPieces, piece);
    const std::size_t end = PieceStart(vertexCount, vertexPieces, piece + 1);
    TransformVertices(StreamsFrom(streams, first), end - first, setup, vertices_.data() + first);
    assembler_.Project(vertices_, first, end, mapping);
  });
  assembler_.Enter(AssemblyStep::kMark);
  RunParts(trianglePieces, [&](int piece) {
    assembler_.Mark(type, indices, PieceStart(triangles, trianglePieces, piece),
                    PieceStart(triangles, trianglePieces, piece + 1), mapping, states.cull);
  });
  assembler_.Enter(AssemblyStep::kCopy);
  const std::uint8_t* used = assembler_.Used().data();
  RunParts(vertexPieces, [&](int piece) {
    const std::size_t first = PieceStart(vertexCount, vertexPieces, piece);
    const std::size_t end = PieceStart(vertexCount, vertexPieces, piece + 1);
    LightVertices(StreamsFrom(streams, first), end - first, setup, used + first, vertices_.data() + first);
    assembler_.Copy(vertices_, first, end);
  });
  MakeRasterContext(mapping, &context);
  assembler_.Enter(AssemblyStep::kAssemble);
  if (threads == 1) {
    assembler_.Assemble(vertices_, type, indices, 0, triangles, mapping, TriangleSink{DrawNow, &context});
    return;
  }
  bins_.Reset(trianglePieces, context.target.height);
  RunParts(trianglePieces, [&](int piece) {
    BinInto into{&bins_, &context, piece};
    assembler_.Assemble(vertices_, type, indices, PieceStart(triangles, trianglePieces, piece),
                        PieceStart(triangles, trianglePieces, piece + 1), mapping, TriangleSink{SetUpInto, &into});
    bins_.Sort(piece);
  });
  RunParts(bins_.Bands(), [&](int band) { bins_.DrawBand(band, context); });
}
