// The second and fourth stages: put triangles together from lists and strips (indexed or not), send
// the ones that cross the clip volume through the clipper, and hand all of them on to a sink.
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

// The assembler's steps in one draw, in the order they run. A step may be split into pieces that
// several threads work on at once, but every piece of a step returns before the next step begins.
enum class AssemblyStep : std::uint8_t { kNone, kProject, kMark, kCopy, kAssemble };

// Puts the triangles of one draw together in four steps over the transformed vertices of a list or
// strip (through `indices` when not null; every index below the vertex count): Project each
// vertex; Mark the vertices of the triangles that may draw, the only ones whose colours matter;
// once those are lit, Copy their colours; then Assemble the triangles. Each piece of a step reads
// the vertices and writes only its own vertices' entries (or, for the triangles, their vertices'
// flags, which are only ever set), and Assemble's pieces hand their triangles on in submission
// order within the piece.
//
// The assembler keeps the step its draw is at: each step checks it and the drawing thread moves
// it on with Enter, so a step run before the one it needs, or twice, is caught where it happens.
// Such a call is a fault of the draw's code, never of what is drawn: it ends the program with a
// message naming the steps.
class PrimitiveAssembler {
 public:
  // Starts a draw of `vertexCount` vertices at the Project step, wherever the last draw stopped.
  void Begin(std::size_t vertexCount);
  // Moves the draw on to `step` from the step just before it. Called on the drawing thread once
  // every piece of that step has returned.
  void Enter(AssemblyStep step);
  AssemblyStep Step() const { return step_; }

  void Project(const std::vector<ClipVertex>& vertices, std::size_t first, std::size_t end,
               const ViewportMapping& mapping);
  void Mark(D3DPRIMITIVETYPE type, const WORD* indices, std::size_t firstTriangle, std::size_t endTriangle,
            const ViewportMapping& mapping, CullMode cull);
  // One flag per vertex, set for those whose colours matter: read from the Copy step on.
  const std::vector<std::uint8_t>& Used() const;
  void Copy(const std::vector<ClipVertex>& vertices, std::size_t first, std::size_t end);
  void Assemble(const std::vector<ClipVertex>& vertices, D3DPRIMITIVETYPE type, const WORD* indices,
                std::size_t firstTriangle, std::size_t endTriangle, const ViewportMapping& mapping,
                const TriangleSink& sink) const;

 private:
  // Ends the program unless the draw is at `step`; `what` names the call.
  void Expect(AssemblyStep step, const char* what) const {
    if (step_ != step) [[unlikely]] OutOfOrder(step, what);
  }
  [[noreturn]] void OutOfOrder(AssemblyStep step, const char* what) const;
  void Triangle(const std::vector<ClipVertex>& vertices, std::size_t i0, std::size_t i1, std::size_t i2,
                const ViewportMapping& mapping, const TriangleSink& sink) const;

  AssemblyStep step_ = AssemblyStep::kNone;
  // Kept from draw to draw so that drawing allocates nothing once warmed up.
  std::vector<unsigned> outcodes_;
  std::vector<ScreenVertex> screen_;
  std::vector<std::uint8_t> used_;
};
