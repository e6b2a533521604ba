#include "data/mesh3ds.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "data/checked_buffer.h"
#include "core/errors.h"

// The lists are read straight into their arrays: the file's numbers are little-endian.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(MeshVector) == 12 && sizeof(MeshFace) == 8 && sizeof(MeshMapping) == 8);

namespace {

constexpr const char* kEndReached = "End of 3ds file reached (corrupt?)";
constexpr const char* kUnreadable = "Unable to read from 3ds file";
constexpr const char* kBadChunkLength = "Bad chunk length in 3ds file (corrupt?)";
constexpr const char* kTooManyEntries = "Too many entries in 3ds list";
constexpr std::uint32_t kChunkHeaderBytes = 6;
constexpr int kMostEntries = std::numeric_limits<std::int16_t>::max();

}  // namespace

Mesh3ds::~Mesh3ds() { clear(); }

void Mesh3ds::clear() {
  for (void* block : {static_cast<void*>(vertices), static_cast<void*>(faces), static_cast<void*>(mapping),
                      static_cast<void*>(faceNormals), static_cast<void*>(vertexNormals)}) {
    std::free(block);
  }
  vertices = nullptr;
  faces = nullptr;
  mapping = nullptr;
  faceNormals = nullptr;
  vertexNormals = nullptr;
  vertexCount = faceCount = mappingCount = 0;
  objectVertexBase_ = objectFaceBase_ = 0;
}

void Mesh3ds::load(const char* name) {
  clear();
  position = 0;
  // A read cut off by the end of the file has its own messages here.
  file.emplace(name, "Unable to open datafile", MemberFile::AtTheCut::kReadZeros);
  // Closed however the load ends, a damaged member's fatal error too: a package left open
  // cannot be replaced on Windows.
  struct CloseAtTheEnd {
    std::optional<MemberFile>& file;
    ~CloseAtTheEnd() { file.reset(); }
  } closeAtTheEnd{file};
  std::uint16_t id = 0;
  // Not even the first chunk's id: a member that ends there is no 3ds file, but one that the
  // file has lost is a damaged package.
  if (file->read(&id, 2) != 2) file->requireWhole();
  if (id != 0x4D4D) FatalError("not a 3ds file");
  position += 2;
  std::uint32_t length = 0;
  if (file->read(&length, 4) != 4) FatalError(kEndReached);
  position += 4;
  if (length < kChunkHeaderBytes) FatalError(kBadChunkLength);
  readMainChunk(length);

  faceNormals = static_cast<MeshVector*>(CheckedAlloc(sizeof(MeshVector) * faceCount));
  vertexNormals = static_cast<MeshVector*>(CheckedAlloc(sizeof(MeshVector) * vertexCount));
  computeMeshNormals();
}

void Mesh3ds::walkChunk(std::uint32_t end, std::initializer_list<ChunkReader> readers) {
  while (position < end) {
    file->seek(position);
    std::uint16_t id = 0;
    if (file->read(&id, 2) != 2) FatalError(kEndReached);
    position += 2;
    std::uint32_t length = 0;
    if (file->read(&length, 4) != 4) FatalError(kEndReached);
    position += 4;
    // A length below the header's own, or one reaching past the chunk around it, would send
    // the walk backwards or into its neighbours' bytes.
    if (position > end || length < kChunkHeaderBytes || length - kChunkHeaderBytes > end - position) {
      FatalError(kBadChunkLength);
    }
    const ChunkReader* reader =
        std::find_if(readers.begin(), readers.end(), [id](const ChunkReader& r) { return r.id == id; });
    if (reader != readers.end()) (this->*reader->read)(length);
    else position += length - kChunkHeaderBytes;
  }
}

void Mesh3ds::readMainChunk(std::uint32_t length) {
  walkChunk(position + length - kChunkHeaderBytes, {{0x3D3D, &Mesh3ds::readEditorChunk}});
}

void Mesh3ds::readEditorChunk(std::uint32_t length) {
  walkChunk(position + length - kChunkHeaderBytes, {{0x4000, &Mesh3ds::readObjectChunk}});
}

void Mesh3ds::readObjectChunk(std::uint32_t length) {
  const std::uint32_t end = position + length - kChunkHeaderBytes;
  // The name is read past, whatever its length, but never past the object.
  file->seek(position);
  while (position < end) {
    std::uint8_t byte = 0;
    if (file->read(&byte, 1) != 1) break;
    ++position;
    if (byte == 0) break;
  }
  objectVertexBase_ = vertexCount;
  objectFaceBase_ = faceCount;
  walkChunk(end, {{0x4100, &Mesh3ds::readTriMeshChunk}});
  finishObject();
}

void Mesh3ds::readTriMeshChunk(std::uint32_t length) {
  walkChunk(position + length - kChunkHeaderBytes, {{0x4110, &Mesh3ds::readVertexList},
                                                   {0x4120, &Mesh3ds::readFaceList},
                                                   {0x4140, &Mesh3ds::readMappingList}});
}

template <typename Entry>
void Mesh3ds::readList(std::uint32_t length, Entry*& list, std::int16_t& count, std::int16_t base,
                       const char* failure) {
  const std::uint32_t end = position + length - kChunkHeaderBytes;
  file->seek(position);
  std::uint16_t entries = 0;
  if (length - kChunkHeaderBytes < 2 || file->read(&entries, 2) != 2) FatalError(kUnreadable);
  if (entries > kMostEntries - base) FatalError(kTooManyEntries);
  // The list must lie inside its chunk; whatever follows it there is skipped.
  const std::uint64_t listBytes = std::uint64_t{entries} * sizeof(Entry);
  if (listBytes > length - kChunkHeaderBytes - 2) FatalError(failure);

  CheckedBuffer<Entry> read = AllocateChecked<Entry>(static_cast<std::size_t>(base) + entries);
  // The entries before `base` stay; those an earlier object did not give are zero.
  const std::int16_t kept = std::min(count, base);
  std::copy(list, list + kept, read.get());
  std::fill(read.get() + kept, read.get() + base, Entry{});
  if (file->read(read.get() + base, listBytes) != listBytes) FatalError(failure);
  std::free(list);
  list = read.release();
  count = static_cast<std::int16_t>(base + entries);
  position = end;
}

void Mesh3ds::readVertexList(std::uint32_t length) {
  readList(length, vertices, vertexCount, objectVertexBase_, kUnreadable);
}

void Mesh3ds::readFaceList(std::uint32_t length) { readList(length, faces, faceCount, objectFaceBase_, kUnreadable); }

void Mesh3ds::readMappingList(std::uint32_t length) {
  // Mapping coordinates go one to a vertex, so an object's list starts at its first vertex.
  readList(length, mapping, mappingCount, objectVertexBase_, "Unable to load texture coordinates");
}

void Mesh3ds::finishObject() {
  const int objectVertices = vertexCount - objectVertexBase_;
  for (int i = objectFaceBase_; i < faceCount; ++i) {
    MeshFace& face = faces[i];
    for (std::uint16_t* index : {&face.a, &face.b, &face.c}) {
      if (*index >= objectVertices) FatalError("3ds face refers to a missing vertex");
      *index = static_cast<std::uint16_t>(*index + objectVertexBase_);
    }
  }
  objectVertexBase_ = vertexCount;
  objectFaceBase_ = faceCount;
}
