// Packages, pictures and meshes made by the tests, and a headless machine with a package open.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/mesh3ds.h"
#include "tests/support/headless.h"
#include "tools/common/pak_writer.h"

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, std::uint16_t value);
void PutU32(Bytes& out, std::uint32_t value);
void PutFloat(Bytes& out, float value);
Bytes Join(std::initializer_list<Bytes> parts);

// A package whose directory and members are laid out by the shared package writer.
Bytes PackageOf(const std::vector<PakMember>& members);

// A PCX header with the fields the loader reads, followed by `data` as the image data.
Bytes PcxMember(std::uint16_t bytesPerLine, std::uint16_t yMin, std::uint16_t yMax, const Bytes& data,
                std::uint8_t reserved = 0);

// 3DS chunks: the 6-byte header (id, length including the header) and the body.
Bytes Chunk(std::uint16_t id, const Bytes& body);
Bytes VertexChunk(const std::vector<MeshVector>& vertices);
Bytes FaceChunk(const std::vector<MeshFace>& faces, const Bytes& subChunks = {});
Bytes MappingChunk(const std::vector<MeshMapping>& mapping);
// A named object holding one triangle mesh of the given list chunks.
Bytes MeshObject(const std::string& name, const Bytes& meshChunks);
// The main and editor chunks around the given editor contents.
Bytes MeshMember(const Bytes& editorChunks);

// A fresh, empty folder under the system's temporary folder, named for the running test and `use`.
std::string TestFolder(const std::string& use);

class PackageTest : public HeadlessTest {
 protected:
  void TearDown() override;

  // Writes the package to a file of the test's folder and opens it as the run's package.
  void OpenPackage(const Bytes& package);
  void OpenMembers(const std::vector<PakMember>& members) { OpenPackage(PackageOf(members)); }
  // Runs `step` and gives back the text of the fatal box it ended with ("" when it did not).
  std::string FatalMessageOf(const std::function<void()>& step);
  std::vector<std::string> BoxTexts() const;

  std::string packagePath;
};
