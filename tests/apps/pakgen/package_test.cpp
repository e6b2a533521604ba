// The package as the system's loaders will read it: every member present in its exact shape,
// the same bytes on every run, and a command line that refuses what it cannot do.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/apps/pakgen/package_fixture.h"
#include "tests/support/run_program.h"

namespace {

struct RawShape {
  const char* name;
  std::size_t bytes;
};

TEST(Pakgen, EveryRawMemberHasTheSizeItsLoaderReads) {
  const auto& pak = BuiltPackage();
  std::vector<RawShape> shapes{{"load.raw", 143360},      {"overlay1.raw", 430080}, {"overlay2.raw", 430080},
                               {"overlay3.raw", 430080},  {"overlay4.raw", 430080}, {"upperframe.raw", 76800},
                               {"lowerframe.raw", 76800}, {"scroll.raw", 358400}};
  for (int i = 1; i <= 6; ++i) shapes.push_back({nullptr, 16000});
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const std::string name = shapes[i].name ? shapes[i].name : "text" + std::to_string(i - 7) + ".raw";
    ASSERT_EQ(pak.count(name), 1u) << name;
    EXPECT_EQ(pak.at(name).size(), shapes[i].bytes) << name;
  }
}

TEST(Pakgen, EveryPcxMemberIsA256SquareOfThreePlanes) {
  const auto& pak = BuiltPackage();
  std::vector<std::string> names{"texture1.pcx", "texture3.pcx", "texture5.pcx", "texture6.pcx", "texture7.pcx",
                                 "texture8.pcx", "vamp.pcx",     "env1.pcx",     "flare.pcx",    "flare2.pcx"};
  for (int i = 1; i <= 9; ++i) names.push_back("greet" + std::to_string(i) + ".pcx");
  for (const std::string& name : names) {
    ASSERT_EQ(pak.count(name), 1u) << name;
    const Bytes& file = pak.at(name);
    ASSERT_GE(file.size(), 128u);
    // The fields the system's loader reads: Ymin, Ymax, the reserved byte, bytes per line.
    EXPECT_EQ(file[6] | file[7] << 8, 0) << name;
    EXPECT_EQ(file[10] | file[11] << 8, 255) << name;
    EXPECT_EQ(file[64], 0) << name;
    EXPECT_EQ(file[66] | file[67] << 8, 256) << name;
    EXPECT_EQ(file[0], 10) << name;
    EXPECT_EQ(file[1], 5) << name;
    const Rgb24 picture = DecodePcx(file);
    EXPECT_EQ(picture.width, 256) << name;
    EXPECT_EQ(picture.height, 256) << name;
  }
}

TEST(Pakgen, HoldsTheMeshAndModuleAndNothingUnexpected) {
  const auto& pak = BuiltPackage();
  EXPECT_EQ(pak.size(), 35u);
  ASSERT_EQ(pak.count("object3.3ds"), 1u);
  ASSERT_EQ(pak.count("kaleth.xm"), 1u);
  const Bytes& mesh = pak.at("object3.3ds");
  EXPECT_EQ(mesh[0] | mesh[1] << 8, 0x4D4D);
  EXPECT_EQ(mesh[2] | mesh[3] << 8 | mesh[4] << 16 | mesh[5] << 24, static_cast<int>(mesh.size()));
  const Bytes& module = pak.at("kaleth.xm");
  EXPECT_EQ(std::string(module.begin(), module.begin() + 17), "Extended Module: ");
  EXPECT_EQ(module[58] | module[59] << 8, 0x0104);
  // Small enough to ship in every build: synthesised samples, not recordings.
  EXPECT_LT(module.size(), 1024u * 1024u);
}

TEST(Pakgen, WritesTheSameBytesOnEveryRunAndTheSheetOnRequest) {
  const std::string first = TempPath("first.pak"), second = TempPath("second.pak"), sheet = TempPath("sheet.png");
  ProgramResult run = RunProgram({BuildPath("kaleth-pakgen"), first});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  run = RunProgram({BuildPath("kaleth-pakgen"), second, "--sheet", sheet});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadPackage(first), ReadPackage(second));
  EXPECT_EQ(ReadPackage(first), BuiltPackage());
  std::FILE* png = std::fopen(sheet.c_str(), "rb");
  ASSERT_NE(png, nullptr);
  unsigned char magic[8] = {};
  EXPECT_EQ(std::fread(magic, 1, 8, png), 8u);
  std::fclose(png);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(magic) + 1, 3), "PNG");
  for (const std::string& path : {first, second, sheet}) std::filesystem::remove(path);
}

TEST(Pakgen, RefusesBadCommandLinesAndReportsUnwritableOutput) {
  for (const std::vector<std::string>& bad : {std::vector<std::string>{}, {"--sheet"}, {"a.pak", "b.pak"}, {"--bogus"}}) {
    std::vector<std::string> argv{BuildPath("kaleth-pakgen")};
    argv.insert(argv.end(), bad.begin(), bad.end());
    const ProgramResult run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << (bad.empty() ? "(none)" : bad[0]);
    EXPECT_NE(run.output.find("usage:"), std::string::npos);
  }
  const ProgramResult run = RunProgram({BuildPath("kaleth-pakgen"), "/nonexistent-dir/kaleth.pak"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("/nonexistent-dir/kaleth.pak"), std::string::npos) << run.output;
}

}  // namespace
