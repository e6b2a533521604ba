// Turns a PNG picture into a member in one of the formats the picture loaders read.
#pragma once

#include <string>

// The kinds and the shape each demands.
inline constexpr const char* kImportKinds =
    "pcx (256 wide, any height: 3-plane run-length PCX), rgb-screen (512x280 raw colour), "
    "rgb-strip (512x50 raw colour), gray (raw grey of the size given as WIDTHxHEIGHT), "
    "gray-screen (512x280 raw grey)";

// Converts `image` to `kind` and writes it to `out`; `size` is the WIDTHxHEIGHT the gray kind
// needs (empty otherwise). Prints its fault and returns 1, or returns 0; 2 for a wrong kind or size text.
int ImportPicture(const std::string& kind, const std::string& image, const std::string& out, const std::string& size);
