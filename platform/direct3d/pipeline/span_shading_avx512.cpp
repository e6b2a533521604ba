// The wide span shader built for processors with AVX-512: the same 256-bit arithmetic, with the
// partial groups of every target format read and written through mask registers, and the
// compiler free to use thirty-two registers. Floating-point expressions are never fused into
// multiply-adds (the build says so), so it gives the same bytes as the other paths.
#include "platform/direct3d/pipeline/span_shading.h"

#if defined(__x86_64__) || defined(__i386__)

#define WIDE __attribute__((target("avx2,avx512f,avx512vl,avx512bw,avx512dq,bmi2")))
#define WIDE_MASK_REGISTERS 1
#include "platform/direct3d/pipeline/span_shading_wide.h"

SpanShader WideMaskedSpanShader(ColourFormat colour, DepthFormat depth) {
  return SelectSpanShader<WideShader>(colour, depth);
}

bool WideMaskedInstructionsAvailable() {
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
         __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("bmi2");
}

#else

SpanShader WideMaskedSpanShader(ColourFormat, DepthFormat) { return nullptr; }
bool WideMaskedInstructionsAvailable() { return false; }

#endif
