// The wide span shader for processors with AVX2.
#include "platform/direct3d/pipeline/span_shading.h"

#if defined(__x86_64__) || defined(__i386__)

#define WIDE __attribute__((target("avx2")))
#define WIDE_MASK_REGISTERS 0
#include "platform/direct3d/pipeline/span_shading_wide.h"

SpanShader WideSpanShader(ColourFormat colour, DepthFormat depth) { return SelectSpanShader<WideShader>(colour, depth); }

bool WideInstructionsAvailable() { return __builtin_cpu_supports("avx2"); }

#else

SpanShader WideSpanShader(ColourFormat, DepthFormat) { return nullptr; }
bool WideInstructionsAvailable() { return false; }

#endif
