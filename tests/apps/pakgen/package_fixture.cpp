#include "tests/apps/pakgen/package_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/run_program.h"

namespace {

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
unsigned U16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }

}  // namespace

std::map<std::string, Bytes> ReadPackage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::map<std::string, Bytes> members;
  if (file.size() < 5 || std::string(file.begin(), file.begin() + 4) != "PAK1") {
    ADD_FAILURE() << path << " is not a package";
    return members;
  }
  std::size_t at = 5;
  for (unsigned i = 0; i < file[4]; ++i) {
    if (at + 8 > file.size()) {
      ADD_FAILURE() << "directory cut off at entry " << i;
      break;
    }
    const std::uint32_t offset = U32(file, at), size = U32(file, at + 4);
    at += 8;
    std::string name;
    while (at < file.size() && file[at] != '\n') name += static_cast<char>(file[at++]);
    ++at;
    EXPECT_LE(name.size(), 30u) << name;
    EXPECT_EQ(members.count(name), 0u) << "duplicate member " << name;
    if (static_cast<std::uint64_t>(offset) + size > file.size()) {
      ADD_FAILURE() << name << " lies past the end of the package";
      continue;
    }
    members[name] = Bytes(file.begin() + offset, file.begin() + offset + size);
  }
  return members;
}

const std::map<std::string, Bytes>& BuiltPackage() {
  static const std::map<std::string, Bytes> members = ReadPackage(BuildPath("kaleth.pak"));
  return members;
}

Rgb24 DecodePcx(const Bytes& file) {
  Rgb24 picture;
  if (file.size() < 128) {
    ADD_FAILURE() << "PCX shorter than its header";
    return picture;
  }
  const unsigned bytesPerLine = U16(file, 66);
  picture.width = static_cast<int>(U16(file, 8) - U16(file, 4) + 1);
  picture.height = static_cast<int>(U16(file, 10) - U16(file, 6) + 1);
  EXPECT_EQ(file[3], 8);
  EXPECT_EQ(file[65], 3);
  EXPECT_EQ(bytesPerLine, static_cast<unsigned>(picture.width + (picture.width & 1)));
  const std::size_t line = 3u * bytesPerLine;
  Bytes planes;
  std::size_t at = 128;
  for (int y = 0; y < picture.height; ++y) {
    std::size_t filled = 0;
    while (filled < line) {
      if (at >= file.size()) {
        ADD_FAILURE() << "PCX data ends inside line " << y;
        return picture;
      }
      std::uint8_t c = file[at++], count = 1;
      if ((c & 0xC0) == 0xC0) {
        count = c & 0x3F;
        EXPECT_NE(count, 0) << "empty run at byte " << at - 1;
        c = at < file.size() ? file[at++] : 0;
      }
      if (filled + count > line) {
        ADD_FAILURE() << "run crosses the end of line " << y;
        return picture;
      }
      planes.insert(planes.end(), count, c);
      filled += count;
    }
  }
  EXPECT_EQ(at, file.size()) << "bytes left after the last line";
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      for (int c = 0; c < 3; ++c)
        picture.rgb[3 * (static_cast<std::size_t>(y) * picture.width + x) + c] =
            planes[line * y + bytesPerLine * c + x];
  return picture;
}

Rgb24 RawRgb(const Bytes& file, int width, int height) {
  EXPECT_EQ(file.size(), static_cast<std::size_t>(width) * height * 3);
  Rgb24 picture{width, height, file};
  picture.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  return picture;
}

Rgb24 RawGrey(const Bytes& file, int width, int height) {
  EXPECT_EQ(file.size(), static_cast<std::size_t>(width) * height);
  Rgb24 picture{width, height, {}};
  for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i)
    picture.rgb.insert(picture.rgb.end(), 3, i < file.size() ? file[i] : 0);
  return picture;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("kaleth-pakgen-" + std::to_string(getpid()) + "-" + name))
      .string();
}
