#include "tests/apps/pakgen/chunks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16; }

// Payload bytes in front of a container's children: the object's name, the face list.
std::size_t FirstChild(const Bytes& b, const Chunk& c) {
  std::size_t at = c.payload;
  if (c.id == 0x4000) {
    while (at < c.end && b[at] != 0) ++at;
    return at + 1;
  }
  if (c.id == 0x4120) return at + 2 + 8 * U16(b, at);
  return at;
}

}  // namespace

unsigned U16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }

float F32(const Bytes& b, std::size_t at) {
  const std::uint32_t bits = U32(b, at);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

Chunk WalkChunks(const Bytes& b, std::size_t at) {
  if (at + 6 > b.size()) {
    ADD_FAILURE() << "chunk header cut off at " << at;
    return {};
  }
  Chunk c{U16(b, at), at + 6, at + U32(b, at + 2), {}};
  if (c.end < c.payload || c.end > b.size()) {
    ADD_FAILURE() << "chunk " << std::hex << c.id << " has a length outside the file";
    return {};
  }
  static const std::set<unsigned> kContainers{0x4D4D, 0x3D3D, 0x4000, 0x4100, 0x4120, 0xAFFF, 0xA020, 0xB000, 0xB002};
  if (!kContainers.count(c.id)) return c;
  std::size_t child = FirstChild(b, c);
  while (child < c.end) {
    c.children.push_back(WalkChunks(b, child));
    if (c.children.back().end <= child) return c;  // a broken child was reported already
    child = c.children.back().end;
  }
  EXPECT_EQ(child, c.end) << "children of chunk " << std::hex << c.id << " overrun it";
  return c;
}

const Chunk* FindChunk(const Chunk& root, std::initializer_list<unsigned> path) {
  const Chunk* at = &root;
  for (unsigned id : path) {
    const Chunk* next = nullptr;
    for (const Chunk& child : at->children)
      if (child.id == id) next = &child;
    if (!next) return nullptr;
    at = next;
  }
  return at;
}
