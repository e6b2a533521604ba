// The shared sine and cosine tables read with an angle in 1/1024 of a turn: only the low ten bits
// of the angle count.
#pragma once

#include <cstdint>

#include "core/tables.h"

inline float TableSin(std::uint32_t angle) { return SinTable[angle & kTableMask]; }
inline float TableCos(std::uint32_t angle) { return CosTable[angle & kTableMask]; }
