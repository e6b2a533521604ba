// The matrix toolkit of the 3D scenes: rotations from the shared tables, the world transform
// from three angles and a position, and the fixed camera and projection.
#pragma once

#include "platform/direct3d/d3d.h"

// Angles are in 1/1024 of a turn; only their low ten bits count, so -1 is 1023.
using TurnUnits = int;

D3DMATRIX& SetIdentity(D3DMATRIX& matrix);
// Each writes its four members only; callers start from SetIdentity.
void RotationX(D3DMATRIX& matrix, TurnUnits angle);
void RotationY(D3DMATRIX& matrix, TurnUnits angle);
void RotationZ(D3DMATRIX& matrix, TurnUnits angle);
// result = p * q * r over the upper-left 3x3; the fourth row and column are the identity's.
void ComposeRotations(D3DMATRIX& result, const D3DMATRIX& p, const D3DMATRIX& q, const D3DMATRIX& r);
// World = x-rotation by ax, then y by ay, then z by az, with no translation.
void RotateWorld(TurnUnits ax, TurnUnits ay, TurnUnits az);
// Replaces the translation of the current world transform, keeping its rotation.
void TranslateWorld(float x, float y, float z);
// The fixed camera: the eye at world z = 10 looking along +z, and the projection with its near
// plane at camera z = 1 and no far plane.
D3DMATRIX CameraView();
D3DMATRIX CameraProjection();
// World identity, and the camera's view and projection.
void InitTransforms();
