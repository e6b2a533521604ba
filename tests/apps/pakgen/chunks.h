// A 3DS chunk tree read by this suite's own walker, to check the mesh member's layout.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "tests/apps/pakgen/package_fixture.h"

struct Chunk {
  unsigned id = 0;
  std::size_t payload = 0, end = 0;  // payload start and chunk end, from the member's start
  std::vector<Chunk> children;
};

unsigned U16(const Bytes& b, std::size_t at);
float F32(const Bytes& b, std::size_t at);

// Walks the chunk at `at` and every container inside it; a gtest failure when a child runs past
// its parent or the file. Leaves are not opened.
Chunk WalkChunks(const Bytes& b, std::size_t at = 0);
// The chunk reached by following the ids from `root`'s children down, or null.
const Chunk* FindChunk(const Chunk& root, std::initializer_list<unsigned> path);
