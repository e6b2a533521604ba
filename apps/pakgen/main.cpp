// kaleth-pakgen: paints, models and composes the production's data and writes the package.
//   kaleth-pakgen OUT.pak                  the package
//   kaleth-pakgen [OUT.pak] --sheet S.png  also (or only) a labelled sheet of every picture
//   kaleth-pakgen ... --icon N ICON.png    also (or only) the program's icon, N pixels square
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "kaleth_build.h"
#include "tools/common/pak_writer.h"
#include "apps/pakgen/icon.h"
#include "apps/pakgen/members.h"
#include "apps/pakgen/sheet.h"

namespace {

constexpr const char* kUsage =
    "usage: kaleth-pakgen OUT.pak [--sheet SHEET.png] [--icon N ICON.png ...]\n"
    "       kaleth-pakgen --sheet SHEET.png | --icon N ICON.png ...\n"
    "Paints, models and composes the production's pictures, meshes and music and writes the package.\n"
    "  --sheet SHEET.png   also (or only) one labelled PNG of every picture member at its size\n"
    "  --icon N ICON.png   also (or only) the program's icon, N (16 to 256) pixels square, as a PNG\n"
    "  --version           the version of the program\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "kaleth-pakgen: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string packagePath, sheetPath;
  std::vector<std::pair<int, std::string>> icons;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("kaleth-pakgen %s\n", KALETH_VERSION);
      return 0;
    }
    if (arg == "--sheet" && i + 1 < argc && sheetPath.empty()) {
      sheetPath = argv[++i];
    } else if (arg == "--icon" && i + 2 < argc) {
      char* end = nullptr;
      const long size = std::strtol(argv[i + 1], &end, 10);
      if (end == argv[i + 1] || *end != '\0' || size < 16 || size > 256) return Usage();
      icons.emplace_back(static_cast<int>(size), argv[i + 2]);
      i += 2;
    } else if (!arg.empty() && arg[0] != '-' && packagePath.empty()) {
      packagePath = arg;
    } else {
      return Usage();
    }
  }
  if (packagePath.empty() && sheetPath.empty() && icons.empty()) return Usage();
  try {
    const std::vector<PictureMember> pictures = PaintPictures();
    std::string error;
    if (!sheetPath.empty() && !WriteSheet(sheetPath, pictures, &error)) return Fail(error);
    for (const auto& [size, path] : icons) {
      if (!WriteIcon(path, size, pictures, &error)) return Fail(error);
    }
    if (!packagePath.empty()) {
      std::vector<std::uint8_t> package;
      if (!BuildPak(EncodeMembers(pictures), &package, &error) || !WriteFileBytes(packagePath, package, &error))
        return Fail(error);
    }
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return 0;
}
