// The production's one mesh and its 3DS form.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "apps/pakgen/encoders.h"

struct Mesh {
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 2>> mapping;  // one (u, v) per position
  std::vector<std::array<std::uint16_t, 3>> faces;
};

// A trefoil knot swept with a five-lobed section that twists as it goes round: closed, wound so
// that (b − a) × (c − a) points out of the solid, and no further than 100 units from its centre.
Mesh MakeKnot();

// A 3DS file holding the mesh as one named object, with the chunks a modelling program writes
// beside the lists: version, material, local axes, face materials, smoothing groups, keyframes.
Bytes Encode3ds(const Mesh& mesh, const std::string& objectName);
