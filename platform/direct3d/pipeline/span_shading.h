// The sixth stage: every pixel of a covered span is depth-tested, textured, lit, blended and
// written. Three shaders do it and give the same bytes: the reference, one channel at a time in
// plain integer arithmetic; the packed one, two pixels to a 128-bit register (SSE2); and the wide
// one, four pixels to a 256-bit register (AVX2), run only where the processor has it. The wide
// shader is built twice: for AVX2, and as the masked path for processors with AVX-512, whose mask
// registers write the partial groups at the end of a span far faster.
#pragma once

#include "platform/direct3d/pipeline/pipeline.h"

enum class SpanPath { kReference, kPacked, kWide, kWideMasked };

// Whether this build and this processor can run the path; the reference runs everywhere.
bool SpanPathSupported(SpanPath path);
// The shader of a supported path for a target's formats.
SpanShader SpanShaderFor(ColourFormat colour, DepthFormat depth, SpanPath path);
// The shader the pipeline runs: that of the widest supported path no wider than the limit.
SpanShader SpanShaderFor(ColourFormat colour, DepthFormat depth);
// The widest path the pipeline may run (at first the widest there is). kaleth-bench narrows it to
// the packed path, the one WebAssembly has, to set the page beside the same code natively.
void LimitSpanPath(SpanPath widest);

// Each path's shaders, null where the build has not got the path.
SpanShader ReferenceSpanShader(ColourFormat colour, DepthFormat depth);
SpanShader PackedSpanShader(ColourFormat colour, DepthFormat depth);
SpanShader WideSpanShader(ColourFormat colour, DepthFormat depth);
SpanShader WideMaskedSpanShader(ColourFormat colour, DepthFormat depth);
// Whether the processor runs the wide paths' instructions.
bool WideInstructionsAvailable();
bool WideMaskedInstructionsAvailable();
