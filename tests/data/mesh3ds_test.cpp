// The 3DS mesh: the chunk walk, the lists, the normals, the triangle list, and damaged members.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "data/mesh3ds.h"
#include "data/mesh_triangle_list.h"
#include "tests/support/data_files.h"

namespace {

class Mesh3dsTest : public PackageTest {
 protected:
  void Load(const Bytes& member) {
    OpenMembers({{"object3.3ds", member}, {"after", Bytes(64, 0x4D)}});
    mesh.load("object3.3ds");
  }

  std::string LoadFailure(const Bytes& member) {
    return FatalMessageOf([&] { Load(member); });
  }

  Mesh3ds mesh;
};

// A unit square in the z = 0 plane as two faces, and a third face standing up along x.
const std::vector<MeshVector> kVertices{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 1}};
const std::vector<MeshFace> kFaces{{0, 1, 2, 7}, {0, 2, 3, 7}, {0, 4, 1, 7}};
const std::vector<MeshMapping> kMapping{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.25f}};

Bytes Unknown(std::uint16_t id) { return Chunk(id, {1, 2, 3, 4, 5}); }

TEST_F(Mesh3dsTest, ListsAreFoundPastUnknownChunksAtEveryLevel) {
  const Bytes faceSubChunks = Join({Chunk(0x4130, {'m', 0, 1, 0, 0, 0}), Chunk(0x4150, Bytes(12, 0))});
  const Bytes meshChunks = Join({Unknown(0x4160), VertexChunk(kVertices), Unknown(0x4111),
                                 FaceChunk(kFaces, faceSubChunks), MappingChunk(kMapping), Unknown(0x4170)});
  Bytes object = MeshObject("Tri", meshChunks);
  object = Join({Bytes(object.begin(), object.begin() + 10), Unknown(0x4700), Bytes(object.begin() + 10, object.end())});
  object[2] += 11;  // the object chunk now also holds the unknown chunk placed before its mesh
  const Bytes member =
      Chunk(0x4D4D, Join({Unknown(0x0002), Chunk(0x3D3D, Join({Unknown(0x3D3E), Chunk(0xAFFF, Unknown(0xA000)), object,
                                                              Unknown(0x0100)})),
                          Unknown(0xB000)}));
  Load(member);
  ASSERT_EQ(mesh.vertexCount, 5);
  ASSERT_EQ(mesh.faceCount, 3);
  ASSERT_EQ(mesh.mappingCount, 5);
  EXPECT_EQ(mesh.vertices[4].z, 1.0f);
  EXPECT_EQ(mesh.faces[2].b, 4);
  EXPECT_EQ(mesh.mapping[4].v, 0.25f);
  EXPECT_FALSE(mesh.file.has_value()) << "the package is closed after the load";
  EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(Mesh3dsTest, FaceNormalsAreUnitAndVertexNormalsTheMeanOfTheirFaces) {
  Load(MeshMember(MeshObject("Tri", Join({VertexChunk(kVertices), FaceChunk(kFaces)}))));
  // Faces 0 and 1 face +z; face 2 (0, 4, 1) faces +y.
  EXPECT_EQ(mesh.faceNormals[0].z, 1.0f);
  EXPECT_EQ(mesh.faceNormals[2].y, 1.0f);
  // Vertex 1 is shared by faces 0 and 2: (0, 1, 1) / 2, shorter than 1.
  EXPECT_FLOAT_EQ(mesh.vertexNormals[1].x, 0.0f);
  EXPECT_FLOAT_EQ(mesh.vertexNormals[1].y, 0.5f);
  EXPECT_FLOAT_EQ(mesh.vertexNormals[1].z, 0.5f);
  // Vertex 0 is used by all three faces: (0, 1, 2) / 3.
  EXPECT_FLOAT_EQ(mesh.vertexNormals[0].y, 1.0f / 3);
  EXPECT_FLOAT_EQ(mesh.vertexNormals[0].z, 2.0f / 3);
  EXPECT_EQ(mesh.vertexNormals[3].z, 1.0f);
}

TEST_F(Mesh3dsTest, TriangleListKeepsTheCornerOrderAndCopiesMapping) {
  Load(MeshMember(MeshObject("Tri", Join({VertexChunk(kVertices), FaceChunk(kFaces), MappingChunk(kMapping)}))));
  MeshTriangleList list;
  list.build(mesh);
  EXPECT_EQ(list.vertexCount, 9);
  EXPECT_EQ(list.faceCount, 3);
  EXPECT_EQ(list.mappingCount, 5);
  // Face 2 is (0, 4, 1).
  const MeshVertex& corner = list.vertices[7];
  EXPECT_EQ(corner.x, 1.0f);
  EXPECT_EQ(corner.z, 1.0f);
  EXPECT_EQ(corner.nx, mesh.vertexNormals[4].x);
  EXPECT_EQ(corner.ny, mesh.vertexNormals[4].y);
  EXPECT_EQ(corner.tu, 0.5f);
  EXPECT_EQ(corner.tv, 0.25f);
  EXPECT_EQ(list.vertices[8].tu, 1.0f);
  EXPECT_EQ(list.vertices[6].tu, 0.0f);
}

TEST_F(Mesh3dsTest, MissingOrShortMappingLeavesTextureCoordinatesZero) {
  Load(MeshMember(MeshObject("Tri", Join({VertexChunk(kVertices), FaceChunk(kFaces)}))));
  EXPECT_EQ(mesh.mappingCount, 0);
  MeshTriangleList list;
  list.build(mesh);
  EXPECT_EQ(list.mappingCount, 0);
  for (int i = 0; i < list.vertexCount; ++i) EXPECT_EQ(list.vertices[i].tu + list.vertices[i].tv, 0.0f);

  Load(MeshMember(MeshObject("Tri", Join({VertexChunk(kVertices), FaceChunk(kFaces), MappingChunk({{0.5f, 0.5f}, {0.75f, 1}})}))));
  list.build(mesh);
  EXPECT_EQ(list.vertices[0].tu, 0.5f);   // vertex 0
  EXPECT_EQ(list.vertices[1].tu, 0.75f);  // vertex 1
  EXPECT_EQ(list.vertices[2].tu, 0.0f);   // vertex 2 has no pair
  EXPECT_EQ(list.vertices[7].tv, 0.0f);   // vertex 4 neither
}

TEST_F(Mesh3dsTest, FacesOfNoAreaGiveZeroNormalsAndTakeNoPartInTheMeans) {
  const std::vector<MeshVector> vertices{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}};
  Load(MeshMember(MeshObject("Flat", Join({VertexChunk(vertices), FaceChunk({{0, 1, 2, 0}, {0, 1, 3, 0}, {2, 2, 2, 0}})}))));
  EXPECT_EQ(mesh.faceNormals[1].x, 0.0f);
  EXPECT_EQ(mesh.faceNormals[1].y, 0.0f);
  EXPECT_EQ(mesh.faceNormals[1].z, 0.0f);
  EXPECT_EQ(mesh.vertexNormals[0].z, 1.0f) << "the face of no area does not halve the mean";
  EXPECT_EQ(mesh.vertexNormals[3].z, 0.0f);
  for (int v = 0; v < mesh.vertexCount; ++v) EXPECT_FALSE(std::isnan(mesh.vertexNormals[v].x + mesh.vertexNormals[v].y));
}

TEST_F(Mesh3dsTest, SeveralObjectsAddUpAndAListReadAgainReplacesItsObjectsOwn) {
  const std::vector<MeshVector> triangle{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  const Bytes first = MeshObject("A", Join({VertexChunk({{9, 9, 9}}), VertexChunk(triangle), FaceChunk({{0, 1, 2, 0}})}));
  const Bytes light = Chunk(0x4000, Join({Bytes{'L', 0}, Chunk(0x4600, Bytes(12, 0))}));
  const Bytes second =
      MeshObject("B", Join({VertexChunk(kVertices), FaceChunk(kFaces), MappingChunk(kMapping)}));
  Load(MeshMember(Join({first, light, second})));
  ASSERT_EQ(mesh.vertexCount, 8);
  ASSERT_EQ(mesh.faceCount, 4);
  EXPECT_EQ(mesh.vertices[0].x, 0.0f) << "the first vertex list of object A was replaced";
  EXPECT_EQ(mesh.faces[0].c, 2);
  EXPECT_EQ(mesh.faces[3].b, 3 + 4) << "object B's faces refer to its own vertices";
  ASSERT_EQ(mesh.mappingCount, 8);
  EXPECT_EQ(mesh.mapping[2].u, 0.0f) << "object A had no mapping coordinates";
  EXPECT_EQ(mesh.mapping[3 + 4].v, 0.25f);
}

TEST_F(Mesh3dsTest, TenThousandNineHundredTwentyTwoFacesIsTheMost) {
  const std::vector<MeshVector> triangle{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  std::vector<MeshFace> faces(10922, MeshFace{0, 1, 2, 0});
  Load(MeshMember(MeshObject("Big", Join({VertexChunk(triangle), FaceChunk(faces)}))));
  MeshTriangleList list;
  list.build(mesh);
  EXPECT_EQ(list.vertexCount, 32766);
  EXPECT_EQ(list.vertices[32765].y, 1.0f);

  faces.push_back(MeshFace{0, 1, 2, 0});
  Load(MeshMember(MeshObject("Big", Join({VertexChunk(triangle), FaceChunk(faces)}))));
  EXPECT_EQ(FatalMessageOf([&] { list.build(mesh); }), "Too many faces in 3ds file");
}

TEST_F(Mesh3dsTest, DamagedMembersEndWithAMessageNamingTheProblem) {
  const Bytes good = MeshMember(MeshObject("Tri", Join({VertexChunk(kVertices), FaceChunk(kFaces), MappingChunk(kMapping)})));
  EXPECT_EQ(LoadFailure(Chunk(0x4D4C, {})), "not a 3ds file");
  EXPECT_EQ(LoadFailure({}), "not a 3ds file");
  EXPECT_EQ(LoadFailure(Bytes(good.begin(), good.begin() + 4)), "End of 3ds file reached (corrupt?)");
  // Cut inside the editor chunk's header, and inside the vertex list.
  EXPECT_EQ(LoadFailure(Bytes(good.begin(), good.begin() + 9)), "End of 3ds file reached (corrupt?)");
  const std::size_t listStart = 6 + 6 + 6 + 4 + 6 + 6;
  EXPECT_EQ(LoadFailure(Bytes(good.begin(), good.begin() + listStart + 2)), "Unable to read from 3ds file");
  EXPECT_EQ(LoadFailure(Bytes(good.begin(), good.begin() + listStart + 20)), "Unable to read from 3ds file");
  EXPECT_EQ(LoadFailure(Bytes(good.begin(), good.end() - 3)), "Unable to load texture coordinates");

  // Lengths that would walk backwards, stand still or reach into a neighbour.
  for (std::uint32_t length : {0u, 5u, 0xFFFFFFFFu, static_cast<std::uint32_t>(good.size())}) {
    Bytes bad = good;
    for (int i = 0; i < 4; ++i) bad[6 + 2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    EXPECT_EQ(LoadFailure(bad), "Bad chunk length in 3ds file (corrupt?)") << length;
  }
  // A list whose count runs past its own chunk.
  Bytes overCount = good;
  overCount[listStart] = 6;
  EXPECT_EQ(LoadFailure(overCount), "Unable to read from 3ds file");
  // A count that a signed 16-bit list cannot hold.
  Bytes huge = Join({Chunk(0x4110, Bytes{0xFF, 0xFF})});
  EXPECT_EQ(LoadFailure(MeshMember(MeshObject("H", huge))), "Too many entries in 3ds list");
  // A face that names a vertex the object does not have.
  EXPECT_EQ(LoadFailure(MeshMember(MeshObject("F", Join({VertexChunk(kVertices), FaceChunk({{0, 1, 5, 0}})})))),
            "3ds face refers to a missing vertex");
  // A package gone since start-up.
  OpenMembers({{"object3.3ds", good}});
  std::filesystem::remove(packagePath);
  EXPECT_EQ(FatalMessageOf([&] { mesh.load("object3.3ds"); }), "Unable to open datafile");
}

TEST_F(Mesh3dsTest, ObjectNamesOfAnyLengthAreReadPast) {
  const Bytes lists = Join({VertexChunk(kVertices), FaceChunk(kFaces)});
  Load(MeshMember(MeshObject(std::string(300, 'n'), lists)));
  EXPECT_EQ(mesh.faceCount, 3);
  // A name without its zero byte runs to the end of the object, which then holds no mesh.
  Bytes unterminated = Chunk(0x4000, Bytes(250, 'n'));
  Load(MeshMember(Join({unterminated, MeshObject("Tri", lists)})));
  EXPECT_EQ(mesh.faceCount, 3);
  EXPECT_EQ(mesh.vertexCount, 5);
}

}  // namespace
