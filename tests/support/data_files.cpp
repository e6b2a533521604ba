#include "tests/support/data_files.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "data/pak_archive.h"
#include "core/errors.h"

void PutU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, static_cast<std::uint16_t>(value));
  PutU16(out, static_cast<std::uint16_t>(value >> 16));
}

void PutFloat(Bytes& out, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  PutU32(out, bits);
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes PackageOf(const std::vector<PakMember>& members) {
  Bytes package;
  std::string error;
  if (!BuildPak(members, &package, &error)) ADD_FAILURE() << error;
  return package;
}

Bytes PcxMember(std::uint16_t bytesPerLine, std::uint16_t yMin, std::uint16_t yMax, const Bytes& data,
                std::uint8_t reserved) {
  // The data is copied into room made up front: appending it to the 128-byte header makes GCC 12
  // warn falsely of a copy past the header's end.
  Bytes member(128 + data.size(), 0);
  member[0] = 10;
  member[1] = 5;
  member[2] = 1;
  member[3] = 8;
  member[6] = static_cast<std::uint8_t>(yMin);
  member[7] = static_cast<std::uint8_t>(yMin >> 8);
  member[10] = static_cast<std::uint8_t>(yMax);
  member[11] = static_cast<std::uint8_t>(yMax >> 8);
  member[64] = reserved;
  member[65] = 3;
  member[66] = static_cast<std::uint8_t>(bytesPerLine);
  member[67] = static_cast<std::uint8_t>(bytesPerLine >> 8);
  std::copy(data.begin(), data.end(), member.begin() + 128);
  return member;
}

Bytes Chunk(std::uint16_t id, const Bytes& body) {
  Bytes chunk;
  PutU16(chunk, id);
  PutU32(chunk, static_cast<std::uint32_t>(body.size() + 6));
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

Bytes VertexChunk(const std::vector<MeshVector>& vertices) {
  Bytes body;
  PutU16(body, static_cast<std::uint16_t>(vertices.size()));
  for (const MeshVector& v : vertices) {
    PutFloat(body, v.x);
    PutFloat(body, v.y);
    PutFloat(body, v.z);
  }
  return Chunk(0x4110, body);
}

Bytes FaceChunk(const std::vector<MeshFace>& faces, const Bytes& subChunks) {
  Bytes body;
  PutU16(body, static_cast<std::uint16_t>(faces.size()));
  for (const MeshFace& f : faces) {
    for (std::uint16_t value : {f.a, f.b, f.c, f.flags}) PutU16(body, value);
  }
  body.insert(body.end(), subChunks.begin(), subChunks.end());
  return Chunk(0x4120, body);
}

Bytes MappingChunk(const std::vector<MeshMapping>& mapping) {
  Bytes body;
  PutU16(body, static_cast<std::uint16_t>(mapping.size()));
  for (const MeshMapping& m : mapping) {
    PutFloat(body, m.u);
    PutFloat(body, m.v);
  }
  return Chunk(0x4140, body);
}

Bytes MeshObject(const std::string& name, const Bytes& meshChunks) {
  Bytes body(name.begin(), name.end());
  body.push_back(0);
  return Chunk(0x4000, Join({body, Chunk(0x4100, meshChunks)}));
}

Bytes MeshMember(const Bytes& editorChunks) { return Chunk(0x4D4D, Chunk(0x3D3D, editorChunks)); }

std::string TestFolder(const std::string& use) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("kaleth-" + std::string(test->test_suite_name()) + "-" + test->name() + "-" + use + "-" +
                                        std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

void PackageTest::TearDown() {
  if (!packagePath.empty()) std::filesystem::remove_all(std::filesystem::path(packagePath).parent_path());
  HeadlessTest::TearDown();
}

void PackageTest::OpenPackage(const Bytes& package) {
  if (packagePath.empty()) packagePath = TestFolder("package") + "/test.pak";
  std::string error;
  ASSERT_TRUE(WriteFileBytes(packagePath, package, &error)) << error;
  Package.open(packagePath.c_str());
}

std::string PackageTest::FatalMessageOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const FatalErrorExit&) {
    EXPECT_FALSE(backend.boxes.empty());
    if (backend.boxes.empty()) return "?";
    EXPECT_EQ(backend.boxes.back().caption, kErrorCaption);
    return backend.boxes.back().text;
  }
  return "";
}

std::vector<std::string> PackageTest::BoxTexts() const {
  std::vector<std::string> texts;
  for (const RecordedBox& box : backend.boxes) texts.push_back(box.text);
  return texts;
}
