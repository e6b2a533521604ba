// Four float or int lanes as plain values, for arithmetic that is written once and runs on one
// number or on four: the compiler's vector types, which behave like their scalars lane by lane
// and compile to SIMD instructions where the machine has them.
#pragma once

using Float4 = float __attribute__((vector_size(16)));
using Int4 = int __attribute__((vector_size(16)));

// Truncation toward zero, for values already inside the int range.
inline int Truncate(float v) { return static_cast<int>(v); }
inline Int4 Truncate(Float4 v) { return __builtin_convertvector(v, Int4); }
inline float ToFloat(int v) { return static_cast<float>(v); }
inline Float4 ToFloat(Int4 v) { return __builtin_convertvector(v, Float4); }
// 1 where a > b, else 0 (scalars), or all ones and zeros (lanes): subtracted, it steps down by one.
inline int Greater(float a, float b) { return a > b; }
inline Int4 Greater(Float4 a, Float4 b) { return -(a > b); }
