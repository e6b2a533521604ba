// A block from CheckedAlloc that is given back to the heap if a fatal error unwinds past its
// owner before the block is handed on.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

#include "core/errors.h"

struct FreeBlock {
  void operator()(void* block) const { std::free(block); }
};

template <typename T>
using CheckedBuffer = std::unique_ptr<T[], FreeBlock>;

template <typename T>
CheckedBuffer<T> AllocateChecked(std::size_t count) {
  return CheckedBuffer<T>(static_cast<T*>(CheckedAlloc(sizeof(T) * count)));
}
