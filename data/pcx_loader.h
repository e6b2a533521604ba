// PCX pictures of three 8-bit colour planes, run-length encoded, as canvas pixels.
#pragma once

#include <cstdint>

#include "data/member_file.h"

// Every picture the scenes use is 256 x 256; a smaller one is handed back in a block of at least
// that many pixels (black past its own), so a caller taking the usual shape stays inside it.
inline constexpr std::uint32_t kPcxUsualPixels = 256 * 256;

// The picture of member `name`: width x height pixels 0x00RRGGBB, rows top to bottom, from
// CheckedAlloc; the caller owns it.
std::uint32_t* LoadPcx(const char* name);

// Decodes `lines` lines of `lineLength` bytes from `file`, standing at the image data, into
// `destination` (lineLength x lines bytes).
void DecodePcxRle(MemberFile& file, std::uint8_t* destination, std::uint32_t lineLength, std::uint32_t lines);
