// Readers nobody here wrote accept what kaleth-pakgen writes: ImageMagick decodes every PCX to
// the pixels our own decoder sees, assimp counts the mesh as written, libopenmpt times the music.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "tests/apps/pakgen/chunks.h"
#include "tests/apps/pakgen/package_fixture.h"
#include "tests/support/run_program.h"

namespace {

// The tools come from scripts/install-deps.sh; a missing one is a broken set-up, not a pass.
std::string Tool(const std::string& path) {
  EXPECT_TRUE(std::filesystem::exists(path)) << path << " missing: run scripts/install-deps.sh";
  return path;
}

std::string WriteMember(const std::string& name) {
  const std::string path = TempPath(name);
  std::ofstream out(path, std::ios::binary);
  const Bytes& bytes = BuiltPackage().at(name);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST(PakgenReaders, ImageMagickDecodesEveryPcxToTheSamePixels) {
  const std::string convert = Tool("/usr/bin/convert");
  for (const auto& [name, bytes] : BuiltPackage()) {
    if (name.size() < 4 || name.substr(name.size() - 4) != ".pcx") continue;
    const std::string pcx = WriteMember(name), rgb = TempPath(name + ".rgb");
    const ProgramResult run = RunProgram({convert, pcx, "-depth", "8", "rgb:" + rgb});
    ASSERT_EQ(run.exitCode, 0) << name << ": " << run.output;
    std::ifstream in(rgb, std::ios::binary);
    const Bytes theirs((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(theirs == DecodePcx(bytes).rgb) << name;
    std::filesystem::remove(pcx);
    std::filesystem::remove(rgb);
  }
}

TEST(PakgenReaders, AssimpCountsTheMeshAsWritten) {
  const std::string mesh = WriteMember("object3.3ds");
  const ProgramResult run = RunProgram({Tool("/usr/bin/assimp"), "info", mesh, "-r"});
  std::filesystem::remove(mesh);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::smatch faces, vertices;
  ASSERT_TRUE(std::regex_search(run.output, faces, std::regex(R"(\nFaces: +(\d+))"))) << run.output;
  ASSERT_TRUE(std::regex_search(run.output, vertices, std::regex(R"(\nVertices: +(\d+))"))) << run.output;
  const Bytes& b = BuiltPackage().at("object3.3ds");
  const Chunk tree = WalkChunks(b);
  const Chunk* faceList = FindChunk(tree, {0x3D3D, 0x4000, 0x4100, 0x4120});
  ASSERT_NE(faceList, nullptr);
  const int written = static_cast<int>(U16(b, faceList->payload));
  EXPECT_EQ(std::stoi(faces[1]), written);
  // A raw import keeps three corners a face.
  EXPECT_EQ(std::stoi(vertices[1]), 3 * written);
}

TEST(PakgenReaders, OpenMptLoadsTheModuleWithItsInstrumentsAndLength) {
  const std::string module = WriteMember("kaleth.xm");
  const ProgramResult run = RunProgram({Tool("/usr/bin/openmpt123"), "--info", module});
  std::filesystem::remove(module);
  // openmpt123 exits 0 even when it cannot load, so the type line is the proof.
  ASSERT_NE(run.output.find("Type.......: xm"), std::string::npos) << run.output;
  std::smatch instruments, duration;
  ASSERT_TRUE(std::regex_search(run.output, instruments, std::regex(R"(Instruments: (\d+))"))) << run.output;
  ASSERT_TRUE(std::regex_search(run.output, duration, std::regex(R"(Duration...: (\d+):(\d+))"))) << run.output;
  EXPECT_GE(std::stoi(instruments[1]), 16);
  EXPECT_GE(std::stoi(duration[1]) * 60 + std::stoi(duration[2]), 130);
}

}  // namespace
