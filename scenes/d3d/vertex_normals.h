// Smooth-shading normals of an animated mesh: every vertex gets the average of the unit normals
// of the triangles that use it.
#pragma once

#include <cstdint>

#include "platform/direct3d/d3d.h"

// `normals` and `counts` have n entries and are rewritten; `indices` holds m triangles. The
// averages are not normalised again, so a vertex where its faces disagree gets a normal shorter
// than 1, and a vertex no triangle uses keeps (0, 0, 0).
void AverageVertexNormals(const D3DVECTOR* positions, int n, const WORD* indices, int m, D3DVECTOR* normals,
                          std::int32_t* counts);
