// The fourth stage: every pixel of a covered span is depth-tested, textured, lit, blended and
// written. Two shaders do it: a packed one (16-bit channel lanes, SSE2) that the pipeline runs,
// and a plain one that takes one channel at a time, the reference the packed one must match
// byte for byte.
#pragma once

#include "platform/direct3d/rasteriser.h"

// The shader the pipeline runs for a target's formats: the packed one where the machine has it.
SpanShader SpanShaderFor(ColourFormat colour, DepthFormat depth);
SpanShader ReferenceSpanShader(ColourFormat colour, DepthFormat depth);
