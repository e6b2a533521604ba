// Writes pictures as PCX: version 5, 8 bits per plane, three planes (red, green, blue) a line,
// run-length encoded with every run ending at the end of its line.
#pragma once

#include <cstdint>
#include <vector>

// `pixels` are width x height values 0x00RRGGBB, rows top to bottom. A line holds the width
// rounded up to even bytes a plane (the pad byte is 0); height is 1 to 65536.
std::vector<std::uint8_t> EncodePcx(const std::uint32_t* pixels, int width, int height);
