// Reads what kaleth-pakgen wrote, with parsers of this test suite's own: the package directory,
// the PCX planes and the members' bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Members by name, in a package laid out as "PAK1", a count byte and (offset, size, name line)
// entries. Adds a gtest failure and gives back what it could read when the layout is broken.
std::map<std::string, Bytes> ReadPackage(const std::string& path);

// The package the build made, read once per test process.
const std::map<std::string, Bytes>& BuiltPackage();

struct Rgb24 {
  int width = 0, height = 0;
  Bytes rgb;  // red, green, blue per pixel, rows top to bottom
  std::uint8_t r(int x, int y) const { return rgb[3 * (static_cast<std::size_t>(y) * width + x)]; }
  std::uint8_t g(int x, int y) const { return rgb[3 * (static_cast<std::size_t>(y) * width + x) + 1]; }
  std::uint8_t b(int x, int y) const { return rgb[3 * (static_cast<std::size_t>(y) * width + x) + 2]; }
  int level(int x, int y) const { return r(x, y) + g(x, y) + b(x, y); }
};

// Decodes a three-plane PCX strictly: no run may cross a line's end, and the data must end
// exactly with the last line. Adds a gtest failure on anything else.
Rgb24 DecodePcx(const Bytes& file);
// A raw member of 24-bit pixels, or of grey bytes spread to red, green and blue.
Rgb24 RawRgb(const Bytes& file, int width, int height);
Rgb24 RawGrey(const Bytes& file, int width, int height);

std::string TempPath(const std::string& name);
