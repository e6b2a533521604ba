// The small vector and matrix arithmetic of the pipeline: row vectors times row-major matrices.
#pragma once

#include <cmath>
#include <cstring>

#include "platform/direct3d/d3d.h"

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
// A zero vector stays zero: it has no direction to keep.
inline Vec3 Normalised(Vec3 a) {
  const float length = Length(a);
  return length > 0 ? a * (1.0f / length) : Vec3{};
}

struct Vec4 {
  float x = 0, y = 0, z = 0, w = 0;
};

struct Matrix4 {
  float m[4][4];
};

inline Matrix4 ToMatrix4(const D3DMATRIX& d) {
  static_assert(sizeof(D3DMATRIX) == sizeof(Matrix4));
  Matrix4 result;
  std::memcpy(result.m, &d, sizeof(result.m));
  return result;
}

inline D3DMATRIX ToD3DMatrix(const Matrix4& a) {
  D3DMATRIX result;
  std::memcpy(&result, a.m, sizeof(a.m));
  return result;
}

inline Matrix4 IdentityMatrix() {
  Matrix4 result{};
  for (int i = 0; i < 4; ++i) result.m[i][i] = 1.0f;
  return result;
}

// a·b: a point is taken through a first, then b.
inline Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 result;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      result.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
  return result;
}

// [x y z 1]·m
inline Vec4 TransformPoint(Vec3 p, const Matrix4& m) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2],
          p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3]};
}

struct Matrix3 {
  float m[3][3];
};

// [x y z]·m
inline Vec3 TransformVector(Vec3 v, const Matrix3& m) {
  return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
          v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

// The matrix that takes normals along with points moved by the upper-left 3x3 of m: its
// inverse transposed. A singular matrix is used as it is, as the older devices did.
inline Matrix3 NormalMatrix(const Matrix4& a) {
  const auto& m = a.m;
  Matrix3 cofactors;
  cofactors.m[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  cofactors.m[0][1] = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  cofactors.m[0][2] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  cofactors.m[1][0] = m[0][2] * m[2][1] - m[0][1] * m[2][2];
  cofactors.m[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
  cofactors.m[1][2] = m[0][1] * m[2][0] - m[0][0] * m[2][1];
  cofactors.m[2][0] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
  cofactors.m[2][1] = m[0][2] * m[1][0] - m[0][0] * m[1][2];
  cofactors.m[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
  const float determinant = m[0][0] * cofactors.m[0][0] + m[0][1] * cofactors.m[0][1] + m[0][2] * cofactors.m[0][2];
  Matrix3 result;
  if (!(std::fabs(determinant) > 1e-30f)) {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) result.m[i][j] = m[i][j];
    return result;
  }
  // The inverse is the transposed cofactor matrix over the determinant, so the inverse
  // transposed is the cofactor matrix itself over it.
  const float scale = 1.0f / determinant;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) result.m[i][j] = cofactors.m[i][j] * scale;
  return result;
}
