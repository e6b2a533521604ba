// The triangle mesh of a 3DS member: vertices, faces and mapping coordinates, with a unit
// normal for every face and an averaged normal for every vertex.
#pragma once

#include <cstdint>
#include <optional>

#include "data/member_file.h"

struct MeshVector {
  float x, y, z;
};

struct MeshFace {
  std::uint16_t a, b, c, flags;
};

struct MeshMapping {
  float u, v;
};

class Mesh3ds {
 public:
  Mesh3ds() = default;
  ~Mesh3ds();
  Mesh3ds(const Mesh3ds&) = delete;
  Mesh3ds& operator=(const Mesh3ds&) = delete;

  // Reads the mesh of member `name` and computes its normals. Every mesh object of the member
  // adds its lists to the mesh, its faces keeping to its own vertices.
  void load(const char* name);
  // Face normals from the face lists, and each vertex's mean of the normals of its faces.
  void computeMeshNormals();

  std::uint32_t position = 0;  // read position, counted from the member's first byte
  std::optional<MemberFile> file;  // the package, open for the duration of one load
  MeshVector* vertices = nullptr;
  std::int16_t vertexCount = 0;
  MeshFace* faces = nullptr;
  std::int16_t faceCount = 0;
  MeshMapping* mapping = nullptr;
  std::int16_t mappingCount = 0;
  MeshVector* faceNormals = nullptr;
  MeshVector* vertexNormals = nullptr;

 private:
  struct ChunkReader {
    std::uint16_t id;
    void (Mesh3ds::*read)(std::uint32_t length);
  };

  void readMainChunk(std::uint32_t length);
  void readEditorChunk(std::uint32_t length);
  void readObjectChunk(std::uint32_t length);
  void readTriMeshChunk(std::uint32_t length);
  void readVertexList(std::uint32_t length);
  void readFaceList(std::uint32_t length);
  void readMappingList(std::uint32_t length);

  // Walks the sub-chunks up to `end`, handing those it knows to their readers and skipping the rest.
  void walkChunk(std::uint32_t end, std::initializer_list<ChunkReader> readers);
  // Reads a 16-bit count and that many entries into `list`, after the `base` entries that stay.
  template <typename Entry>
  void readList(std::uint32_t length, Entry*& list, std::int16_t& count, std::int16_t base, const char* failure);
  // Makes the faces of the object just read refer to its vertices within the whole mesh.
  void finishObject();
  void clear();

  // Where the object being read begins in the vertex and face lists.
  std::int16_t objectVertexBase_ = 0;
  std::int16_t objectFaceBase_ = 0;
};
