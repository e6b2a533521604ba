#include "d3d/transforms.h"

#include "d3d/device3d.h"
#include "core/errors.h"
#include "core/tables.h"

namespace {

// The matrices are read and written as rows and columns through these two helpers; D3DMATRIX
// names its members one by one.
using Rows = float[4][4];

void ToRows(const D3DMATRIX& m, Rows rows) {
  const float values[16] = {m._11, m._12, m._13, m._14, m._21, m._22, m._23, m._24,
                            m._31, m._32, m._33, m._34, m._41, m._42, m._43, m._44};
  for (int i = 0; i < 16; ++i) rows[i / 4][i % 4] = values[i];
}

D3DMATRIX FromRows(const Rows r) {
  return D3DMATRIX{r[0][0], r[0][1], r[0][2], r[0][3], r[1][0], r[1][1], r[1][2], r[1][3],
                   r[2][0], r[2][1], r[2][2], r[2][3], r[3][0], r[3][1], r[3][2], r[3][3]};
}

// The 3x3 part of a·b, each entry the four-term dot product; the rest stays the identity's.
void MultiplyUpperLeft(const Rows a, const Rows b, Rows result) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) result[i][j] = i == j ? 1.0f : 0.0f;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      result[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
    }
  }
}

float Sin(TurnUnits angle) { return SinTable[angle & kTableMask]; }
float Cos(TurnUnits angle) { return CosTable[angle & kTableMask]; }

}  // namespace

D3DMATRIX& SetIdentity(D3DMATRIX& matrix) {
  matrix = D3DMATRIX{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  return matrix;
}

void RotationX(D3DMATRIX& matrix, TurnUnits angle) {
  matrix._22 = Cos(angle);
  matrix._23 = Sin(angle);
  matrix._32 = -Sin(angle);
  matrix._33 = Cos(angle);
}

void RotationY(D3DMATRIX& matrix, TurnUnits angle) {
  matrix._11 = Cos(angle);
  matrix._13 = -Sin(angle);
  matrix._31 = Sin(angle);
  matrix._33 = Cos(angle);
}

void RotationZ(D3DMATRIX& matrix, TurnUnits angle) {
  matrix._11 = Cos(angle);
  matrix._12 = Sin(angle);
  matrix._21 = -Sin(angle);
  matrix._22 = Cos(angle);
}

void ComposeRotations(D3DMATRIX& result, const D3DMATRIX& p, const D3DMATRIX& q, const D3DMATRIX& r) {
  Rows pr, qr, rr, t, u;
  ToRows(p, pr);
  ToRows(q, qr);
  ToRows(r, rr);
  MultiplyUpperLeft(pr, qr, t);
  MultiplyUpperLeft(t, rr, u);
  result = FromRows(u);
}

void RotateWorld(TurnUnits ax, TurnUnits ay, TurnUnits az) {
  D3DMATRIX x, y, z, world;
  RotationX(SetIdentity(x), ax);
  RotationY(SetIdentity(y), ay);
  RotationZ(SetIdentity(z), az);
  ComposeRotations(world, x, y, z);
  if (FAILED(Device3D->SetTransform(D3DTRANSFORMSTATE_WORLD, &world))) FatalError("Unable to rotate world");
}

void TranslateWorld(float x, float y, float z) {
  D3DMATRIX world;
  SetIdentity(world);
  // Neither result is examined: a failed read leaves the identity's rotation in place.
  Device3D->GetTransform(D3DTRANSFORMSTATE_WORLD, &world);
  world._41 = x;
  world._42 = y;
  world._43 = z;
  Device3D->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
}

D3DMATRIX CameraView() {
  D3DMATRIX view;
  SetIdentity(view)._43 = -10.0f;
  return view;
}

D3DMATRIX CameraProjection() {
  D3DMATRIX projection;
  SetIdentity(projection);
  projection._11 = 2.0f;
  projection._22 = 2.0f;
  projection._34 = 1.0f;
  projection._43 = -1.0f;
  projection._44 = 0.0f;
  return projection;
}

void InitTransforms() {
  D3DMATRIX world;
  if (FAILED(Device3D->SetTransform(D3DTRANSFORMSTATE_WORLD, &SetIdentity(world)))) {
    FatalError("Unable to set world transform");
  }
  D3DMATRIX view = CameraView();
  if (FAILED(Device3D->SetTransform(D3DTRANSFORMSTATE_VIEW, &view))) FatalError("Unable to set view transform");
  D3DMATRIX projection = CameraProjection();
  if (FAILED(Device3D->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection))) {
    FatalError("Unable to set project transform");
  }
}
