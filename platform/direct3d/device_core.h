// The state of one device: its target, viewports, transforms, render and light states and
// texture, and the draw path that runs a primitive through the pipeline's stages.
#pragma once

#include <vector>

#include "platform/direct3d/d3d.h"
#include "platform/direct3d/pipeline/lighting.h"
#include "platform/direct3d/pipeline/matrix.h"
#include "platform/direct3d/pipeline/pipeline.h"
#include "platform/direct3d/pipeline/primitive_assembly.h"
#include "platform/direct3d/pipeline/texture_cache.h"
#include "platform/direct3d/pipeline/triangle_bins.h"
#include "platform/direct3d/pipeline/vertex_processing.h"
#include "platform/direct3d/render_states.h"

struct DeviceCore {
  IDirectDrawSurface4* target = nullptr;  // held
  std::vector<IDirect3DViewport3*> viewports;  // held
  IDirect3DViewport3* currentViewport = nullptr;
  Matrix4 world = IdentityMatrix(), view = IdentityMatrix(), projection = IdentityMatrix();
  RenderStates states;
  D3DMATERIALHANDLE material = 0;
  D3DCOLOR ambient = 0;
  IDirect3DTexture2* texture = nullptr;  // held
  bool inScene = false;

  // Runs `indexCount` vertices (through `indices` when not null) of a list or strip through the
  // pipeline into the target. The arguments are checked by the caller.
  HRESULT Draw(D3DPRIMITIVETYPE type, DWORD vertexFormat, const VertexStreams& streams, std::size_t vertexCount,
               const WORD* indices, std::size_t indexCount, DWORD flags);

 private:
  // The stages for a draw whose vertex setup and viewport mapping are made: on this thread alone,
  // or split over the shared worker pool, with the same bytes either way.
  void DrawSteps(D3DPRIMITIVETYPE type, const VertexStreams& streams, const VertexSetup& setup, const WORD* indices,
                 std::size_t indexCount, const ViewportMapping& mapping, RasterContext& context);
  // The target, render states and texture as the span shader sees them.
  void MakeRasterContext(const ViewportMapping& mapping, RasterContext* context);

  // Kept from draw to draw so that drawing allocates nothing once warmed up.
  std::vector<ClipVertex> vertices_;
  std::vector<D3DLIGHT2> lights_;
  LightingSetup lighting_;
  PrimitiveAssembler assembler_;
  TextureCache textures_;
  TriangleBins bins_;
};

// Whether the device draws vertices of this format: positions, optionally normals and one
// texture coordinate pair; the bytes one such vertex takes.
bool VertexFormatSupported(DWORD vertexFormat);
DWORD VertexSize(DWORD vertexFormat);
